#pragma once
// FindDialog1: the non-modal find dialog of the Search menu. It keeps the
// search text and the options for the whole run. Widgets by objectName:
// "FindWhat", "MatchCase", "DirectionUp", "DirectionDown", "FindNext", "Cancel".

#include "FindText.h"

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vela {

class FindDialog : public QDialog {
public:
    explicit FindDialog(QWidget* parent = nullptr);

    /// The search text as CP932 (the field accepts only characters CP932 holds).
    std::string findText() const;
    FindOptions options() const;
    /// Runs when the find-next button is pressed (FindDialog1Find).
    void setFindHandler(std::function<void()> handler) { m_onFind = std::move(handler); }

private:
    QLineEdit* FindWhat;       ///< the text to find
    QCheckBox* MatchCase;      ///< match case
    QRadioButton* DirectionUp; ///< search backwards
    QRadioButton* DirectionDown; ///< search forwards (preset)
    QPushButton* FindNext;     ///< find next
    QPushButton* Cancel;       ///< closes the dialog
    std::function<void()> m_onFind;
};

} // namespace vela
