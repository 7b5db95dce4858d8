#include "FindDialog.h"

#include "Cp932.h"
#include "InputPrompt.h"
#include "JapaneseUi.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vela {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("FindDialog1");
    setWindowTitle(QString::fromUtf8("検索"));
    setModal(false);
    setFont(japaneseUiFont(9));

    auto* label = new QLabel(QString::fromUtf8("検索する文字列(&N):"), this);
    FindWhat = new QLineEdit(this);
    FindWhat->setObjectName("FindWhat");
    FindWhat->setValidator(new Cp932Validator(FindWhat));
    label->setBuddy(FindWhat);

    MatchCase = new QCheckBox(QString::fromUtf8("大文字と小文字を区別する(&C)"), this);
    MatchCase->setObjectName("MatchCase");

    auto* direction = new QGroupBox(QString::fromUtf8("検索する方向"), this);
    DirectionUp = new QRadioButton(QString::fromUtf8("上へ(&U)"), direction);
    DirectionUp->setObjectName("DirectionUp");
    DirectionDown = new QRadioButton(QString::fromUtf8("下へ(&D)"), direction);
    DirectionDown->setObjectName("DirectionDown");
    DirectionDown->setChecked(true);
    auto* directionRow = new QHBoxLayout(direction);
    directionRow->addWidget(DirectionUp);
    directionRow->addWidget(DirectionDown);

    FindNext = new QPushButton(QString::fromUtf8("次を検索(&F)"), this);
    FindNext->setObjectName("FindNext");
    FindNext->setDefault(true);
    FindNext->setEnabled(false);
    Cancel = new QPushButton(QString::fromUtf8("キャンセル"), this);
    Cancel->setObjectName("Cancel");

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(label);
    findRow->addWidget(FindWhat, 1);
    auto* optionsRow = new QHBoxLayout;
    optionsRow->addWidget(MatchCase, 1, Qt::AlignBottom);
    optionsRow->addWidget(direction);
    auto* left = new QVBoxLayout;
    left->addLayout(findRow);
    left->addLayout(optionsRow);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(FindNext);
    buttons->addWidget(Cancel);
    buttons->addStretch();
    auto* all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(buttons);
    // Like the system's find dialog, fixed in size: no resize handle or maximize in its frame.
    all->setSizeConstraint(QLayout::SetFixedSize);

    // As in the system's dialog, there is nothing to find until a text is typed.
    connect(FindWhat, &QLineEdit::textChanged, this, [this](const QString& text) { FindNext->setEnabled(!text.isEmpty()); });
    connect(FindNext, &QPushButton::clicked, this, [this] {
        if (m_onFind) m_onFind();
    });
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::string FindDialog::findText() const {
    const QString text = FindWhat->text();
    return cp932::encode(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())))
        .bytes;
}

FindOptions FindDialog::options() const { return {DirectionDown->isChecked(), MatchCase->isChecked()}; }

} // namespace vela
