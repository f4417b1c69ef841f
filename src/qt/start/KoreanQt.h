#pragma once

class QCoreApplication;

namespace pagelet {

// Loads Qt's own Korean texts (standard buttons, the editor's menu) to match the program's.
// False when the translation is not installed; Qt then keeps its English texts.
bool loadKoreanQtTexts(QCoreApplication& app);

// The core's catalogue texts go through the translators installed in Qt from now on.
void installCoreTextLookup();

} // namespace pagelet
