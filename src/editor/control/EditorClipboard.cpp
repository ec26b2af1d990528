// The clipboard of TEditor. A copy puts the text on the clipboard three ways on one QMimeData:
// as Unicode text with LF line breaks for other programs, as the bytes themselves under a type
// of our own for their encoding (so that no byte is rewritten between two editors of one
// encoding, as a round trip through Unicode rewrites the NEC and IBM duplicates of Shift-JIS
// and the bytes of invalid UTF-8), and, for a box, the box mark. An editor of the other
// encoding takes the Unicode text, converted into its own.

#include "editor/control/EditorControl.h"
#include "editor/control/TextQString.h"

#include "editor/base/edUtils.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace kestrim {
namespace {

const QString SjisMimeType = QStringLiteral("application/x-kestrim-sjis");
const QString Utf8MimeType = QStringLiteral("application/x-kestrim-utf8");

const QString& BytesMimeType(TTextEncoding Encoding)
{
    return Encoding == TTextEncoding::Utf8 ? Utf8MimeType : SjisMimeType;
}
const QString BoxMimeType = QStringLiteral("application/x-kestrim-box-type");

} // namespace

void TEditor::CopyToClipboard()
{
    PutSelectionOnClipboard();
}

// A copy of nothing would leave what the clipboard held, and the next paste would give that
// back as if it were this text.
void TEditor::CopyAllToClipboard()
{
    SelectAll();
    if (!PutSelectionOnClipboard())
        QGuiApplication::clipboard()->setText(QString());
    SetSelLength(0);
}

// Nothing selected: the clipboard keeps what it holds.
bool TEditor::PutSelectionOnClipboard()
{
    const std::string text = SelText();
    if (text.empty())
        return false;
    auto* data = new QMimeData;
    data->setText(TextToQString(Encoding(), LfLineBreaks(text)));
    data->setData(BytesMimeType(Encoding()), QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    if (SelectionMode() == smBox)
        data->setData(BoxMimeType, QByteArray(text.data(), static_cast<qsizetype>(text.size() + 1)));
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

void TEditor::CutToClipboard()
{
    if (!ReadOnly() && PutSelectionOnClipboard())
        DeleteSelection();
}

void TEditor::PasteFromClipboard()
{
    if (ReadOnly())
        return;
    const std::string text = ClipboardText();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data && data->hasFormat(BoxMimeType))
        PasteBox(text);
    else
        PasteText(text);
}

// The clipboard's text, our own bytes when they are there.
std::string TEditor::ClipboardText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return {};
    if (data->hasFormat(BytesMimeType(Encoding()))) {
        const QByteArray bytes = data->data(BytesMimeType(Encoding()));
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    return FromToolkit(data->text());
}

} // namespace kestrim
