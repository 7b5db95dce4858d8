#pragma once
// A vertical up-down control: two stacked arrow buttons stepping a position
// between a minimum and a maximum, without wrapping around. Qt has no
// stand-alone one; the spin box always carries an edit field.

#include <QWidget>

class QToolButton;

namespace vela {

class UpDown : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int increment READ increment WRITE setIncrement)
    Q_PROPERTY(int position READ position WRITE setPosition)
public:
    enum class Button { Up, Down };
    explicit UpDown(QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int increment() const { return increment_; }
    int position() const { return position_; }
    void setMinimum(int value);
    void setMaximum(int value);
    void setIncrement(int value) { increment_ = value; }
    /// Sets the position, held within the range; emits nothing.
    void setPosition(int value);

signals:
    /// After every press of an arrow (or the Up/Down key), also at either
    /// end where the position stays as it was.
    void clicked(vela::UpDown::Button button);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void step(Button button);

    QToolButton* up_;
    QToolButton* down_;
    int minimum_ = 0;
    int maximum_ = 100;
    int increment_ = 1;
    int position_ = 0;
};

} // namespace vela
