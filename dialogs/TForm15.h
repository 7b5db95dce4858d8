#pragma once
// The image wrap dialog: on which side of an inserted image text flows, if
// at all. Its three buttons are the only way to close it.

#include "TagDialog.h"

#include <memory>
#include <string>

namespace Ui {
class TForm15;
}

namespace vela {

class TForm15 : public TagDialog {
    Q_OBJECT
public:
    /// Each button writes ImageAlignText: " ALIGN=\"RIGHT\"" (text left of
    /// the image), " ALIGN=\"LEFT\"" (text right of it), or empty.
    explicit TForm15(std::string& ImageAlignText, QWidget* parent = nullptr);
    ~TForm15() override;

private:
    void Button2Click(); // text on the left of the image
    void Button1Click(); // text on the right of the image
    void Button3Click(); // no text beside the image (the image is still inserted)

    std::unique_ptr<Ui::TForm15> ui;
    std::string& ImageAlignText;
};

} // namespace vela
