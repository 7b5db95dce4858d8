#pragma once
// The marquee dialog: behaviour ("パターン") and direction ("向き") of a
// MARQUEE. Its radio choices stay as the user left them for the whole run.

#include "TagDialog.h"

#include <memory>
#include <string>

namespace Ui {
class TForm9;
}

namespace vela {

class TForm9 : public TagDialog {
    Q_OBJECT
public:
    /// OK writes "SCROLL", "ALTERNATE" or "SLIDE" into MarqueeBehaviorText
    /// and "LEFT" or "RIGHT" into MarqueeDirectionText; Cancel empties only
    /// MarqueeBehaviorText; the close box writes nothing.
    TForm9(std::string& MarqueeBehaviorText, std::string& MarqueeDirectionText, QWidget* parent = nullptr);
    ~TForm9() override;

private:
    void Button1Click(); // OK of the marquee dialog
    void Button2Click(); // Cancel of the marquee dialog

    std::unique_ptr<Ui::TForm9> ui;
    std::string& MarqueeBehaviorText;
    std::string& MarqueeDirectionText;
};

} // namespace vela
