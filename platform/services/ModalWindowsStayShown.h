#pragma once
// Keeps a modal window on the screen. Some window managers (openbox among
// them) give every dialog a minimize button whatever the window asks for; a
// minimized modal window would leave the editor blocked with nothing to
// answer, so a modal window that gets minimized is shown again at once.

#include <QObject>

namespace vela {

class ModalWindowsStayShown : public QObject {
public:
    /// Watches every window of the application while it exists.
    ModalWindowsStayShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vela
