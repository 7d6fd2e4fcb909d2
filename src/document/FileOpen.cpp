// The open command, and the status bar's account of the document's file.
#include "app/AppState.h"
#include "document/Codec8Bit.h"
#include "document/DocumentFile.h"
#include "document/FileStatus.h"
#include "platform/BusyPointer.h"
#include "platform/FileSystem.h"
#include "platform/ModalHost.h"
#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"
#include "ui/Form1.h"

void Form1::FileOpen()
{
    if (!offerToSave(OnNo::KeepTextChanged))
        return;
    OpenFile();
}

void Form1::OpenFile()
{
    CommonDialog1.Filter = DocumentFile::filter();
    CommonDialog1.FilterIndex = 1;
    CommonDialog1.ShowOpen();
    // Set before anything is read: a name that can't be read stays the document's name.
    App.CurrentFileName = CommonDialog1.FileName;

    std::optional<Failure> failure;
    {
        const BusyPointer busy;
        Result<QByteArray> bytes = FileSystem::readWholeFile(App.CurrentFileName);
        if (bytes) {
            RichTextBox1->setTextRTF(Codec8Bit::decode(bytes.value()));
            failure = ShowFileStatus();
        } else {
            failure = bytes.failure();
        }
    }
    if (!failure) {
        App.TextChanged = false;
        return;
    }
    if (failure->number == FailureNumber::FileNotFound)
        host_.messageBox(
            this, {QStringLiteral("No File Selected"), DocumentFile::title(), MsgButtons::OK, MsgIcon::None, {}, 0});
    else
        ShowError(*failure, DocumentFile::title());
}

std::optional<Failure> Form1::ShowFileStatus()
{
    // The file on disk as it is now, never figures of the document in memory.
    StatusBar1->setPanelText(1, App.CurrentFileName);
    const Result<QDateTime> modified = FileSystem::fileModified(App.CurrentFileName);
    if (!modified)
        return modified.failure();
    StatusBar1->setPanelText(2, FileStatus::dateText(modified.value(), QLocale::system()));
    const Result<qint64> size = FileSystem::fileSize(App.CurrentFileName);
    if (!size)
        return size.failure();
    StatusBar1->setPanelText(3, FileStatus::sizeText(size.value()));
    return std::nullopt;
}
