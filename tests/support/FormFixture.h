#pragma once

#include "app/AppState.h"
#include "platform/ScriptedModalHost.h"
#include "ui/Form1.h"

#include <QString>

#include <memory>

// A real main window driven through the scripted modal host, with the application
// state as a fresh run has it.
struct FormFixture {
    ScriptedModalHost host;
    std::unique_ptr<Form1> form;

    explicit FormFixture(const QStringList& arguments = {})
    {
        App = AppState{};
        form = std::make_unique<Form1>(host, arguments);
    }
};

// Writes bytes to a file, creating folders as needed; returns the path.
QString writeFile(const QString& path, const QByteArray& bytes);
