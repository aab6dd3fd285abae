#include "writereason.h"

QString englishReason(const WriteError &error)
{
    switch (error.failure) {
    case WriteFailure::None: return QString();
    case WriteFailure::System: return qt_error_string(error.systemError);
    case WriteFailure::IsFolder: return QStringLiteral("Is a directory");
    case WriteFailure::NotRegular: return QStringLiteral("Not a regular file");
    case WriteFailure::ReadOnly: return QStringLiteral("The file is read-only");
    case WriteFailure::NoReader: return QStringLiteral("No process reads from the FIFO");
    case WriteFailure::TooManyLinks: return QStringLiteral("Too many levels of symbolic links");
    case WriteFailure::NoRoomInPlace:
        return QStringLiteral("The file system cannot promise the room to rewrite the file in place");
    case WriteFailure::Replaced: return QStringLiteral("The file was replaced while it was written");
    case WriteFailure::Locked: return QStringLiteral("Another process holds the file locked");
    case WriteFailure::StreamName: return QStringLiteral("A \":\" in the name names a stream of another file");
    case WriteFailure::SettingsTooLarge: return QStringLiteral("The settings file is too large to rewrite");
    case WriteFailure::NoSettingsPlace: return QStringLiteral("No place to write the settings file");
    }
    return QString();
}
