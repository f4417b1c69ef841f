#pragma once

class QCoreApplication;

namespace pagelet {

// Loads Qt's own Korean texts (standard buttons, the editor's menu) to match the program's.
// False when the translation is not installed; Qt then keeps its English texts.
bool loadKoreanQtTexts(QCoreApplication& app);

} // namespace pagelet
