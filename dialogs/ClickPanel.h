#pragma once
// A panel that answers a left click: the palette panels and the "指定しない"
// panel of the colour dialogs. It can show a caption and a fill colour.

#include <QLabel>

#include <cstdint>

namespace vela {

class ClickPanel : public QLabel {
    Q_OBJECT
public:
    explicit ClickPanel(QWidget* parent = nullptr);

signals:
    /// A left button press and release, both inside the panel.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace vela
