#include "dialogs/AboutDialog.h"

#include "dialogs/DialogPlacement.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace kestrim {
namespace {

constexpr int ClientWidth = 329;
constexpr int ClientHeight = 103;
constexpr int IconSize = 32;
// The three lines sit 16 pixels apart; each label takes the whole pitch so that a 12-pixel
// font with its descenders is not clipped.
constexpr int LineHeight = 16;

QLabel* NewLine(QWidget* Parent, const char* Name, int Top)
{
    auto* label = new QLabel(Parent);
    label->setObjectName(Name);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(56, Top, 217, LineHeight);
    return label;
}

QLabel* NewPicture(QWidget* Parent, const char* Name, int Left)
{
    auto* picture = new QLabel(Parent);
    picture->setObjectName(Name);
    picture->setGeometry(Left, 16, IconSize, IconSize);
    return picture;
}

} // namespace

TAboutBox::TAboutBox(QWidget* Parent)
    : QDialog(Parent)
{
    setWindowTitle(QStringLiteral("バージョン情報"));
    SetDialogForm(*this, ClientWidth, ClientHeight);
    CreateControls();
    CenterOnScreen(*this);
}

void TAboutBox::CreateControls()
{
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(48, 8, 233, 57);

    Icon = NewPicture(this, "Icon", 8);
    Title = NewLine(this, "Title", 16);
    Version = NewLine(this, "Version", 32);
    Copyright = NewLine(this, "Copyright", 48);
    Image1 = NewPicture(this, "Image1", 288);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(IconSize, IconSize));

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(128, 72, 73, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace kestrim
