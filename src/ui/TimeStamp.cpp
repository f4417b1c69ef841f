#include "app/MainDialog.h"

namespace pagelet {

void MainDialog::onTimestamp() {}

} // namespace pagelet
