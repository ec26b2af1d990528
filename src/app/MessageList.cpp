#include "app/MessageList.h"

#include "app/MessageItemDelegate.h"
#include "editor/base/StringsBase.h"
#include "editor/base/TextConversion.h"
#include "editor/base/edUtils.h"
#include "editor/control/TextQString.h"
#include "settings/UConfigFile.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

namespace kestrim {
namespace {

// The item's own bytes: the displayed text is a conversion that need not lead back to them.
constexpr int BytesRole = Qt::UserRole;


QAction* NewAction(QObject* Owner, const char* Caption, const char* ShortHint, const char* LongHint)
{
    auto* action = new QAction(QString::fromUtf8(Caption), Owner);
    action->setToolTip(QString::fromUtf8(ShortHint));
    action->setStatusTip(QString::fromUtf8(LongHint));
    return action;
}

} // namespace

TMessageList::TMessageList(QWidget* Parent)
    : QListWidget(Parent), FErrLine(ConfigOrDefaults(nullptr).ErrLine())
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Every item is one line of the same font: the view need not measure 100,000 of them.
    setUniformItemSizes(true);
    setItemDelegate(new TMessageItemDelegate(this));
    connect(this, &QListWidget::itemSelectionChanged, this, &TMessageList::SelectWholeMessage);
    CreateActions();
}

void TMessageList::CreateActions()
{
    FActErrorCurrentCopy = NewAction(this, "選択行をコピー(&S)", "選択行をコピー", "選択している行をコピーします。");
    FActErrorAllCopy = NewAction(this, "全行をコピー(&A)", "全行をコピー", "すべての行をコピーします。");
    FActDataLineJump = NewAction(this, "データの行へ移動", "データの行へ移動",
                                 "メッセージが示すデータの行へ移動します。");
    FActMessageNext = NewAction(this, "次のメッセージ(&M)", "次のメッセージ",
                                "移動先のある次のメッセージを選んで、その場所へ移動します。");
    FActMessageNext->setShortcut(Qt::Key_F4);
    FActMessagePrev = NewAction(this, "前のメッセージ(&P)", "前のメッセージ",
                                "移動先のある前のメッセージを選んで、その場所へ移動します。");
    FActMessagePrev->setShortcut(Qt::SHIFT | Qt::Key_F4);
    connect(FActErrorCurrentCopy, &QAction::triggered, this, &TMessageList::actErrorCurrentCopyExecute);
    connect(FActErrorAllCopy, &QAction::triggered, this, &TMessageList::actErrorAllCopyExecute);
    connect(FActDataLineJump, &QAction::triggered, this, &TMessageList::DataLinePlaceRequested);
    FPopError = new QMenu(this);
    FPopError->addAction(FActErrorCurrentCopy);
    FPopError->addAction(FActErrorAllCopy);
    FPopError->addSeparator();
    FPopError->addAction(FActDataLineJump);
    connect(FPopError, &QMenu::aboutToShow, this, &TMessageList::popErrorPopup);
}

void TMessageList::SetRunFolder(const QString& Folder)
{
    FRunFolder = Folder.isEmpty() ? QString() : Folder + QLatin1Char('/');
}

void TMessageList::SetPatterns(const std::string& ErrLine, const std::string& DataLine)
{
    if (ErrLine == FErrLine && DataLine == FDataLine)
        return;
    FErrLine = ErrLine;
    FDataLine = DataLine;
    std::vector<std::string> storage;
    const std::vector<TLineLook> looks =
        Analyse(GroupLines({0, static_cast<int>(FGroupOfItem.size()), false}, storage));
    for (std::size_t i = 0; i < looks.size(); ++i)
        SetLook(*item(static_cast<int>(i)), looks[i]);
}

void TMessageList::SetLook(QListWidgetItem& Item, const TLineLook& Look)
{
    Item.setData(TMessageItemDelegate::ContinuationRole, Look.Continuation ? QVariant(true) : QVariant());
    Item.setData(TMessageItemDelegate::ScriptPlaceRole, Look.ScriptPlace ? QVariant(true) : QVariant());
    Item.setData(TMessageItemDelegate::DataLineRole, Look.DataLine ? QVariant(*Look.DataLine) : QVariant());
}

// Patterns that cannot be used show no places here; the jumps report their errors.
std::vector<TMessageList::TLineLook> TMessageList::Analyse(const std::vector<std::string_view>& Lines)
{
    TMessagePattern errLine(InEncoding(FErrLine));
    std::optional<TMessagePattern> dataLine;
    if (!FDataLine.empty())
        dataLine.emplace(InEncoding(FDataLine));
    const auto namesScriptLine = [&errLine](std::string_view Line) {
        try {
            return errLine.Matches(Line);
        } catch (const std::exception&) {
            return false;
        }
    };
    std::vector<TLineLook> looks(Lines.size());
    FGroups.clear();
    FGroupOfItem.assign(Lines.size(), 0);
    for (const TMessageGroup& group : GroupMessageLines(Lines, namesScriptLine)) {
        const std::vector<std::string_view> lines(Lines.begin() + group.First,
                                                  Lines.begin() + group.First + group.Count);
        std::optional<TScriptPlace> script;
        std::optional<TDataPlace> data;
        try {
            script = FindScriptPlace(lines, group.MostRecentLast, errLine);
            if (dataLine)
                data = FindDataPlace(lines, group.MostRecentLast, *dataLine);
        } catch (const std::exception&) {
        }
        for (int i = 0; i < group.Count; ++i) {
            const auto line = static_cast<std::size_t>(group.First + i);
            looks[line] = {i > 0, script && script->LineIndex == i,
                           data && data->LineIndex == i ? std::optional<int>(data->Named.Line) : std::nullopt};
            FGroupOfItem[line] = static_cast<int>(FGroups.size());
        }
        FGroups.push_back({group, script.has_value()});
    }
    return looks;
}

std::string TMessageList::InEncoding(const std::string& Pattern) const
{
    return FEncoding == TTextEncoding::ShiftJis ? Pattern : ConvertText(Pattern, TTextEncoding::ShiftJis, FEncoding).Text;
}

void TMessageList::LoadFromStream(TMemoryStream& Stream, TTextEncoding Encoding)
{
    FEncoding = Encoding;
    std::string text = Stream.ReadRest();
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    std::vector<std::string_view> lines;
    long long leftOut = 0;
    ForEachLine(text, [&](std::size_t Begin, std::size_t End) {
        if (lines.size() < MaxLines)
            lines.emplace_back(text.data() + Begin, End - Begin);
        else
            ++leftOut;
    });
    const std::vector<TLineLook> looks = Analyse(lines);
    setUpdatesEnabled(false);
    clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        AddLine(lines[i]);
        SetLook(*item(static_cast<int>(i)), looks[i]);
    }
    if (leftOut > 0)
        AddNotice(QStringLiteral("(ここから先の %1 行は表示していません)").arg(leftOut));
    setCurrentRow(-1);
    clearSelection();
    setUpdatesEnabled(true);
}

void TMessageList::AppendLines(std::string_view Text, TTextEncoding Encoding)
{
    FEncoding = Encoding;
    ForEachLine(Text, [&](std::size_t Begin, std::size_t End) {
        if (count() < MaxLines)
            AddLine(Text.substr(Begin, End - Begin));
    });
}

void TMessageList::AddLine(std::string_view Bytes)
{
    const QString text = TextToQString(FEncoding, Bytes);
    auto* item = new QListWidgetItem(FRunFolder.isEmpty() ? text : QString(text).remove(FRunFolder));
    if (item->text() != text)
        item->setToolTip(text);
    item->setData(BytesRole, QByteArray(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
    addItem(item);
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
        return QStringToText(FEncoding, listItem->text());
    return bytes.toByteArray().toStdString();
}

int TMessageList::SelectedIndex() const
{
    const QListWidgetItem* current = currentItem();
    if (current != nullptr && current->isSelected())
        return currentRow();
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

TMessageGroup TMessageList::GroupOf(int Index) const
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= FGroupOfItem.size())
        return {Index, 1, false};
    return FGroups[static_cast<std::size_t>(FGroupOfItem[static_cast<std::size_t>(Index)])].Group;
}

std::vector<std::string_view> TMessageList::GroupLines(const TMessageGroup& Group,
                                                       std::vector<std::string>& Storage) const
{
    Storage.clear();
    for (int i = Group.First; i < Group.First + Group.Count; ++i)
        Storage.push_back(ItemBytes(i));
    return {Storage.begin(), Storage.end()};
}

std::optional<int> TMessageList::SelectedErrorRow(const std::string& ErrLine) const
{
    const std::optional<TScriptPlace> place = SelectedScriptPlace(ErrLine);
    if (!place)
        return std::nullopt;
    return place->Named.Line < 1 ? 0 : place->Named.Line - 1;
}

std::optional<TScriptPlace> TMessageList::SelectedScriptPlace(const std::string& ErrLine) const
{
    const int index = SelectedIndex();
    if (index < 0)
        return std::nullopt;
    const TMessageGroup group = GroupOf(index);
    std::vector<std::string> storage;
    TMessagePattern pattern(InEncoding(ErrLine));
    return FindScriptPlace(GroupLines(group, storage), group.MostRecentLast, pattern);
}

std::optional<TDataPlace> TMessageList::SelectedDataPlace(const std::string& DataLine) const
{
    const int index = SelectedIndex();
    if (index < 0 || DataLine.empty())
        return std::nullopt;
    const TMessageGroup group = GroupOf(index);
    std::vector<std::string> storage;
    TMessagePattern pattern(InEncoding(DataLine));
    return FindDataPlace(GroupLines(group, storage), group.MostRecentLast, pattern);
}

int TMessageList::NextPlaceMessage(int Direction) const
{
    const int selected = SelectedIndex();
    const int groups = static_cast<int>(FGroups.size());
    int group = Direction > 0 ? -1 : groups;
    if (selected >= 0)
        group = static_cast<std::size_t>(selected) < FGroupOfItem.size()
                    ? FGroupOfItem[static_cast<std::size_t>(selected)]
                    : groups; // a notice of the program's own comes after every message
    for (group += Direction; group >= 0 && group < groups; group += Direction)
        if (FGroups[static_cast<std::size_t>(group)].ScriptPlace)
            return FGroups[static_cast<std::size_t>(group)].Group.First;
    return -1;
}

void TMessageList::SelectMessage(int Index)
{
    const TMessageGroup group = GroupOf(Index);
    setCurrentRow(Index);
    scrollToItem(item(group.First + group.Count - 1));
    scrollToItem(item(group.First));
}

// One selection for all the lines of a message, whichever of them was picked.
void TMessageList::SelectWholeMessage()
{
    const int index = SelectedIndex();
    if (FSelectingMessage || index < 0)
        return;
    const TMessageGroup group = GroupOf(index);
    const QItemSelection lines(model()->index(group.First, 0), model()->index(group.First + group.Count - 1, 0));
    FSelectingMessage = true;
    selectionModel()->select(lines, QItemSelectionModel::Select);
    FSelectingMessage = false;
}

bool TMessageList::ShowsDataLine(const TMessageGroup& Group) const
{
    for (int i = Group.First; i < Group.First + Group.Count; ++i)
        if (item(i)->data(TMessageItemDelegate::DataLineRole).isValid())
            return true;
    return false;
}

void TMessageList::popErrorPopup()
{
    const int index = SelectedIndex();
    FActErrorCurrentCopy->setEnabled(index >= 0);
    FActErrorAllCopy->setEnabled(count() > 0);
    FActDataLineJump->setEnabled(index >= 0 && ShowsDataLine(GroupOf(index)));
}

// The lines of the selected message, one under the other.
void TMessageList::actErrorCurrentCopyExecute()
{
    const int index = SelectedIndex();
    if (index < 0)
        return;
    std::vector<std::string> storage;
    const std::vector<std::string_view> lines = GroupLines(GroupOf(index), storage);
    std::string text(lines.front());
    for (std::size_t i = 1; i < lines.size(); ++i)
        (text += "\r\n") += lines[i];
    PutOnClipboard(text);
}

// Text for other programs ends its lines with LF, as the platform's programs do.
void TMessageList::PutOnClipboard(std::string_view Bytes) const
{
    QGuiApplication::clipboard()->setText(TextToQString(FEncoding, LfLineBreaks(Bytes)));
}

void TMessageList::actErrorAllCopyExecute()
{
    PutOnClipboard(AllBytes());
}

void TMessageList::contextMenuEvent(QContextMenuEvent* Event)
{
    FPopError->popup(Event->globalPos());
}

void TMessageList::mouseDoubleClickEvent(QMouseEvent* Event)
{
    QListWidget::mouseDoubleClickEvent(Event);
    if (itemAt(Event->position().toPoint()) == nullptr)
        return;
    if (Event->modifiers().testFlag(Qt::AltModifier))
        emit DataLinePlaceRequested();
    else
        emit ScriptPlaceRequested();
}

void TMessageList::keyPressEvent(QKeyEvent* Event)
{
    const bool enter = Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter;
    if (enter && Event->modifiers() == Qt::NoModifier && SelectedIndex() >= 0) {
        emit ScriptPlaceRequested();
        return;
    }
    QListWidget::keyPressEvent(Event);
}

} // namespace kestrim
