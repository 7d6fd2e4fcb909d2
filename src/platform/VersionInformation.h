#pragma once

#include <QString>

#include <cstdint>

// The program's version information, built into it with each build: the version
// numbers and the descriptive strings.
struct VersionInformation {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t revision = 0;
    QString CompanyName;
    QString LegalCopyright;
    QString LegalTrademarks;
    QString Comments;
    QString FileDescription;
};

// The record this build carries.
VersionInformation programVersionInformation();

// Plain decimal numbers joined with ".": 1, 0, 16 gives "1.0.16".
QString versionText(std::uint16_t major, std::uint16_t minor, std::uint16_t revision);
