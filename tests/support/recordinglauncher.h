#pragma once
// A launcher that records what the program would start instead of starting
// it; the one stand-in for the desktop's programs in every test.

#include "platform/desktop.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <optional>

class RecordingLauncher : public Desktop::Launcher {
public:
    // The desktop's answer, unless programs names the type (an empty entry:
    // no program for it).
    std::optional<Desktop::Application> defaultApplicationFor(const QString &type) override
    {
        askedTypes << type;
        if (programs.contains(type))
            return programs.value(type);
        return Launcher::defaultApplicationFor(type);
    }
    bool launch(const Desktop::Application &app, const QString &file) override
    {
        launches << QStringList{app.id, file};
        return launchResult;
    }
    bool launchAddress(const Desktop::Application &app, const QString &address) override
    {
        launches << QStringList{app.id, address};
        return launchResult;
    }
    bool startDetached(const QString &program, const QStringList &arguments) override
    {
        detached << QStringList{program} + arguments;
        return startResult;
    }
    void showItemProperties(const QString &file, std::function<void()> fallback) override
    {
        properties << file;
        if (!fileManager)
            fallback();
    }

    bool startedNothing() const { return launches.isEmpty() && detached.isEmpty(); }

    QMap<QString, std::optional<Desktop::Application>> programs;
    QStringList askedTypes;
    QList<QStringList> launches; // application id, then the file or address
    QList<QStringList> detached; // program, then its arguments
    QStringList properties;
    bool launchResult = true;
    bool startResult = true;
    bool fileManager = false; // a file manager answers the properties call
};

// Installs a fresh recording launcher and returns it.
inline RecordingLauncher &installRecordingLauncher()
{
    auto launcher = std::make_unique<RecordingLauncher>();
    RecordingLauncher &ref = *launcher;
    Desktop::setLauncher(std::move(launcher));
    return ref;
}
