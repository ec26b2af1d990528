#include "dialogs/FindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kestrim {

TFindDialog::TFindDialog(QWidget* Parent)
    : QDialog(Parent)
{
    setObjectName("dlgFind");
    setWindowTitle(QStringLiteral("検索"));
    setModal(false);
    CreateControls();
    SetDown(true);
}

void TFindDialog::CreateControls()
{
    edtFindText = new QLineEdit;
    edtFindText->setObjectName("edtFindText");
    auto* label = new QLabel(QStringLiteral("検索する文字列(&N):"));
    label->setBuddy(edtFindText);
    chkWholeWord = new QCheckBox(QStringLiteral("単語単位で探す(&W)"));
    chkWholeWord->setObjectName("chkWholeWord");
    chkMatchCase = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"));
    chkMatchCase->setObjectName("chkMatchCase");

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(edtFindText, 0, 1, 1, 2);
    grid->addWidget(chkWholeWord, 1, 0, 1, 2);
    grid->addWidget(chkMatchCase, 2, 0, 1, 2);
    grid->addWidget(CreateDirectionBox(), 1, 2, 2, 1);
    grid->addWidget(CreateButtons(), 0, 3, 3, 1, Qt::AlignTop);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* TFindDialog::CreateDirectionBox()
{
    auto* box = new QGroupBox(QStringLiteral("検索する方向"));
    rbnUp = new QRadioButton(QStringLiteral("上へ(&U)"));
    rbnUp->setObjectName("rbnUp");
    rbnDown = new QRadioButton(QStringLiteral("下へ(&D)"));
    rbnDown->setObjectName("rbnDown");
    auto* layout = new QHBoxLayout(box);
    layout->addWidget(rbnUp);
    layout->addWidget(rbnDown);
    return box;
}

QWidget* TFindDialog::CreateButtons()
{
    auto* buttons = new QWidget;
    bbnFindNext = new QPushButton(QStringLiteral("次を検索(&F)"));
    bbnFindNext->setObjectName("bbnFindNext");
    bbnFindNext->setDefault(true);
    bbnFindNext->setEnabled(false);
    bbnCancel = new QPushButton(QStringLiteral("キャンセル"));
    bbnCancel->setObjectName("bbnCancel");
    auto* layout = new QVBoxLayout(buttons);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bbnFindNext);
    layout->addWidget(bbnCancel);

    // Nothing to find, nothing to press.
    connect(edtFindText, &QLineEdit::textChanged, bbnFindNext,
            [this](const QString& Text) { bbnFindNext->setEnabled(!Text.isEmpty()); });
    connect(bbnFindNext, &QPushButton::clicked, this, &TFindDialog::OnFind);
    connect(bbnCancel, &QPushButton::clicked, this, &QDialog::reject);
    return buttons;
}

QString TFindDialog::FindText() const
{
    return edtFindText->text();
}

void TFindDialog::SetFindText(const QString& Value)
{
    edtFindText->setText(Value);
}

bool TFindDialog::Down() const
{
    return rbnDown->isChecked();
}

void TFindDialog::SetDown(bool Value)
{
    (Value ? rbnDown : rbnUp)->setChecked(true);
}

bool TFindDialog::MatchCase() const
{
    return chkMatchCase->isChecked();
}

void TFindDialog::SetMatchCase(bool Value)
{
    chkMatchCase->setChecked(Value);
}

bool TFindDialog::WholeWord() const
{
    return chkWholeWord->isChecked();
}

void TFindDialog::SetWholeWord(bool Value)
{
    chkWholeWord->setChecked(Value);
}

void TFindDialog::Execute()
{
    show();
    raise();
    activateWindow();
    edtFindText->setFocus();
    edtFindText->selectAll();
}

} // namespace kestrim
