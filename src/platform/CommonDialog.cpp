#include "platform/CommonDialog.h"

#include "platform/ModalHost.h"

#include <QStringList>

QStringList qtNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");   // every file, with or without a dot
        }
        // Qt reads the patterns from the last parentheses; a description that names
        // its own patterns gives them up for the ones that work here.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        result << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return result;
}

CommonDialog::CommonDialog(ModalHost& host, QWidget* owner) : host_(host), owner_(owner) {}

void CommonDialog::ShowOpen()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.nameFilters = qtNameFilters(Filter);
    request.selectedFilter = FilterIndex - 1;
    request.fileName = FileName;
    FileName = host_.fileDialog(owner_, request).value_or(QString());
}

std::optional<Failure> CommonDialog::ShowSave()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.nameFilters = qtNameFilters(Filter);
    request.selectedFilter = FilterIndex - 1;
    request.fileName = FileName;
    const std::optional<QString> chosen = host_.fileDialog(owner_, request);
    FileName = chosen.value_or(QString());
    if (!chosen && CancelError)
        return makeFailure(FailureNumber::Cancel);
    return std::nullopt;
}

bool CommonDialog::ShowFont()
{
    const std::optional<FontChoice> chosen = host_.fontDialog(owner_, {FontName, FontSize, Flags});
    if (!chosen)
        return false;
    FontName = chosen->name;
    FontSize = chosen->size;
    return true;
}
