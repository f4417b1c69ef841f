#include "app/MainDialog.h"

#include "platform/Graphics.h"
#include "platform/MainWindow.h"

namespace pagelet {

// Background only until the skin painting lands.
void MainDialog::OnPaint(Surface& window)
{
    const Size client = m_ports.window.clientSize();
    const Rect all {0, 0, client.width, client.height};
    if (!skin.background) {
        window.fill(all, 0xFF0000);
        return;
    }
    window.copyBitmap(*skin.background, {0, 0}, all);
    editor.needsRedraw = true;
}

void MainDialog::OnLButtonDown(int, int) {}
void MainDialog::OnLButtonUp() {}

} // namespace pagelet
