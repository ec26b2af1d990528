#include "app/MessageList.h"

#include "editor/base/IntConvert.h"
#include "editor/base/StringsBase.h"
#include "editor/base/edUtils.h"
#include "editor/control/SjisQString.h"
#include "regex/BRegExp.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFont>
#include <QGuiApplication>
#include <QMenu>

namespace kestrim {
namespace {

// The item's own bytes: the displayed text is a conversion that need not lead back to them.
constexpr int BytesRole = Qt::UserRole;

// Text for other programs ends its lines with LF, as the platform's programs do.
void PutOnClipboard(std::string_view Sjis)
{
    QGuiApplication::clipboard()->setText(SjisToQString(LfLineBreaks(Sjis)));
}

QAction* NewAction(QObject* Owner, const char* Caption, const char* ShortHint, const char* LongHint)
{
    auto* action = new QAction(QString::fromUtf8(Caption), Owner);
    action->setToolTip(QString::fromUtf8(ShortHint));
    action->setStatusTip(QString::fromUtf8(LongHint));
    return action;
}

} // namespace

TMessageList::TMessageList(QWidget* Parent)
    : QListWidget(Parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Every item is one line of the same font: the view need not measure 100,000 of them.
    setUniformItemSizes(true);
    CreateActions();
}

void TMessageList::CreateActions()
{
    FActErrorCurrentCopy = NewAction(this, "選択行をコピー(&S)", "選択行をコピー", "選択している行をコピーします。");
    FActErrorAllCopy = NewAction(this, "全行をコピー(&A)", "全行をコピー", "すべての行をコピーします。");
    connect(FActErrorCurrentCopy, &QAction::triggered, this, &TMessageList::actErrorCurrentCopyExecute);
    connect(FActErrorAllCopy, &QAction::triggered, this, &TMessageList::actErrorAllCopyExecute);
    FPopError = new QMenu(this);
    FPopError->addAction(FActErrorCurrentCopy);
    FPopError->addAction(FActErrorAllCopy);
    connect(FPopError, &QMenu::aboutToShow, this, &TMessageList::popErrorPopup);
}

void TMessageList::LoadFromStream(TMemoryStream& Stream)
{
    std::string text = Stream.ReadRest();
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    setUpdatesEnabled(false);
    clear();
    long long leftOut = 0;
    ForEachLine(text, [&](std::size_t Begin, std::size_t End) {
        if (count() >= MaxLines) {
            ++leftOut;
            return;
        }
        const std::string_view line(text.data() + Begin, End - Begin);
        auto* item = new QListWidgetItem(SjisToQString(line));
        item->setData(BytesRole, QByteArray(line.data(), static_cast<qsizetype>(line.size())));
        addItem(item);
    });
    if (leftOut > 0)
        AddNotice(QStringLiteral("(ここから先の %1 行は表示していません)").arg(leftOut));
    setCurrentRow(-1);
    clearSelection();
    setUpdatesEnabled(true);
}

void TMessageList::AddNotice(const QString& Text)
{
    auto* item = new QListWidgetItem(Text);
    QFont font = item->font();
    font.setItalic(true);
    item->setFont(font);
    addItem(item);
}

std::string TMessageList::ItemBytes(int Index) const
{
    const QListWidgetItem* listItem = item(Index);
    if (listItem == nullptr)
        return {};
    const QVariant bytes = listItem->data(BytesRole);
    if (!bytes.isValid()) // a notice, or an item put in by other means than LoadFromStream
        return QStringToSjis(listItem->text());
    return bytes.toByteArray().toStdString();
}

int TMessageList::SelectedIndex() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.front());
}

std::string TMessageList::AllBytes() const
{
    std::string text;
    for (int i = 0; i < count(); ++i)
        text += ItemBytes(i) + "\r\n";
    return text;
}

std::optional<int> TMessageList::SelectedErrorRow(const std::string& ErrLine) const
{
    const int index = SelectedIndex();
    if (index < 0)
        return std::nullopt;
    const std::optional<int> line = ErrorLineNumber(ItemBytes(index), ErrLine);
    if (!line)
        return std::nullopt;
    return *line < 1 ? 0 : *line - 1;
}

void TMessageList::popErrorPopup()
{
    FActErrorCurrentCopy->setEnabled(SelectedIndex() >= 0);
    FActErrorAllCopy->setEnabled(count() > 0);
}

void TMessageList::actErrorCurrentCopyExecute()
{
    const int index = SelectedIndex();
    if (index >= 0)
        PutOnClipboard(ItemBytes(index));
}

void TMessageList::actErrorAllCopyExecute()
{
    PutOnClipboard(AllBytes());
}

void TMessageList::contextMenuEvent(QContextMenuEvent* Event)
{
    FPopError->popup(Event->globalPos());
}

std::optional<int> ErrorLineNumber(const std::string& Message, const std::string& ErrLine)
{
    TBRegExp& matcher = SharedRegExp();
    if (!matcher.Match("m/" + ErrLine + "/", Message))
        return std::nullopt;
    return StrToInt(matcher.Strings(1));
}

} // namespace kestrim
