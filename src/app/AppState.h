#pragma once

#include <QString>

#include <cstdint>

// What the commands share between one another: the editor's four application-wide
// variables. There is one instance, App, for the whole run; handlers read and write it
// directly.
struct AppState {
    bool TextChanged = false;         // typed into since last loaded, saved or emptied
    QString SearchText;               // the text last confirmed in the find dialog
    std::int16_t SearchOptions = 0;   // find option bits: 2 whole word, 4 match case
    QString CurrentFileName;          // the document's file; empty: no file yet
};

inline AppState App;
