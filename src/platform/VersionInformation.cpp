#include "platform/VersionInformation.h"

#include "VersionInfo.h"

VersionInformation programVersionInformation()
{
    return VersionInformation{
        CORVANA_VERSION_MAJOR,
        CORVANA_VERSION_MINOR,
        CORVANA_VERSION_REVISION,
        QStringLiteral(CORVANA_COMPANY_NAME),
        QStringLiteral(CORVANA_LEGAL_COPYRIGHT),
        QStringLiteral(CORVANA_LEGAL_TRADEMARKS),
        QStringLiteral(CORVANA_COMMENTS),
        QStringLiteral(CORVANA_FILE_DESCRIPTION),
    };
}

QString versionText(std::uint16_t major, std::uint16_t minor, std::uint16_t revision)
{
    return QString::number(major) + QLatin1Char('.') + QString::number(minor) + QLatin1Char('.') +
           QString::number(revision);
}
