// The save commands: under the document's name, or under one the user chooses.
#include "app/AppState.h"
#include "document/Codec8Bit.h"
#include "document/DocumentFile.h"
#include "platform/BusyPointer.h"
#include "platform/FileSystem.h"
#include "platform/ModalHost.h"
#include "platform/RichTextBox.h"
#include "ui/Form1.h"

namespace {

// The document as its file holds it: the plain text, CR LF between lines and one at
// the end, one byte a character.
Codec8Bit::Encoded documentBytes(const RichTextBox& box)
{
    const BusyPointer busy;
    return Codec8Bit::encode(QString(box.Text() + QLatin1String("\r\n")));
}

// Characters the file's character set has no byte for become question marks, but
// only once the user has agreed to it.
bool acceptLostCharacters(Form1& form, const Codec8Bit::Encoded& encoded)
{
    if (encoded.unmappable == 0)
        return true;
    const MessageBoxRequest question{
        QStringLiteral("This document contains characters that cannot be saved in this file's character set. "
                       "They will be saved as question marks. Save anyway?"),
        DocumentFile::title(),
        MsgButtons::YesNo,
        MsgIcon::Exclamation,
        {},
        0};
    return form.host().messageBox(&form, question) == MsgAnswer::Yes;
}

std::optional<Failure> writeBytes(const QString& path, const QByteArray& bytes)
{
    const BusyPointer busy;
    return FileSystem::writeWholeFile(path, bytes);
}

} // namespace

void Form1::FileSave()
{
    saveDocument();
}

void Form1::FileSaveAs()
{
    SaveFileAs();
}

bool Form1::saveDocument()
{
    return App.CurrentFileName.isEmpty() ? SaveFileAs() : SaveFile();
}

bool Form1::SaveFile()
{
    return writeDocument(App.CurrentFileName);
}

bool Form1::SaveFileAs()
{
    CommonDialog1.CancelError = true;
    // The save dialog always starts with an empty name field.
    CommonDialog1.FileName.clear();
    CommonDialog1.Filter = DocumentFile::filter();
    CommonDialog1.FilterIndex = 1;
    if (std::optional<Failure> failure = CommonDialog1.ShowSave()) {
        if (failure->number == FailureNumber::Cancel)
            host_.messageBox(
                this,
                {QStringLiteral("Save Was Canceled"), DocumentFile::title(), MsgButtons::OK, MsgIcon::None, {}, 0});
        else
            ShowError(*failure, DocumentFile::title());
        return false;
    }
    return writeDocument(CommonDialog1.FileName);
}

bool Form1::writeDocument(const QString& path)
{
    const Codec8Bit::Encoded encoded = documentBytes(*RichTextBox1);
    if (!acceptLostCharacters(*this, encoded))
        return false;
    // After a failed write the path stays the document's name, so the next Save
    // tries it again without a dialog; the old file is left as it was, and the user
    // is told.
    App.CurrentFileName = path;
    if (std::optional<Failure> failure = writeBytes(App.CurrentFileName, encoded.bytes)) {
        ShowError(*failure, DocumentFile::title());
        return false;
    }
    App.TextChanged = false;
    if (std::optional<Failure> failure = ShowFileStatus())
        ShowError(*failure, DocumentFile::title());
    return true;
}
