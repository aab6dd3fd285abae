#pragma once

// A batch file's lines as cmd.exe reads them: a line's % expanded, split
// into its commands, each command's conditions, verb, words and
// redirections, and the text ECHO shows. A reader of its own, so that a
// form's fault shows here rather than being written twice.
#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace batchwords {

// What stands for a variable once a line is expanded: its name between
// these two, so that a word holding one is known to be made at run time.
inline constexpr QChar kVariableOpen = QChar(0x2039);
inline constexpr QChar kVariableClose = QChar(0x203A);

// A line after cmd.exe's first reading in a batch file: %% is one %, and
// %NAME%, %NAME:~0,1%, %1 and %~dpn0 are variables. Nothing where a % is
// left over, as cmd.exe would drop it and what follows.
inline std::optional<QString> expanded(QStringView line)
{
    QString out;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i + 1 >= line.size())
            return std::nullopt;
        const QChar next = line.at(i + 1);
        qsizetype end = -1;
        if (next == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        if (next.isDigit()) {
            end = i + 2;
        } else if (next == u'~') {
            end = i + 2;
            while (end < line.size() && line.at(end).isLetter())
                ++end;
            if (end >= line.size() || !line.at(end).isDigit())
                return std::nullopt;
            ++end;
        } else {
            const qsizetype close = line.indexOf(u'%', i + 1);
            static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(:~-?[0-9]+(,-?[0-9]+)?)?$"));
            if (close < 0 || !name.match(line.sliced(i + 1, close - i - 1)).hasMatch())
                return std::nullopt;
            end = close + 1;
        }
        out += kVariableOpen + line.sliced(i, end - i).toString() + kVariableClose;
        i = end - 1;
    }
    return out;
}

// The text ECHO, TITLE or a value shown later shows, from an expanded
// text: ^ takes the next character as it is. Nothing where cmd.exe would
// take some of it as an operator.
inline std::optional<QString> shownText(QStringView rest)
{
    QString shown;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QChar c = rest.at(i);
        if (c == u'^') {
            if (++i >= rest.size())
                return std::nullopt;
            shown += rest.at(i);
        } else if (QStringLiteral("&|<>").contains(c) || c.unicode() < 0x20) {
            return std::nullopt;
        } else {
            shown += c;
        }
    }
    return shown;
}

// The text ECHO shows for the rest of a line as written in the file.
inline std::optional<QString> echoedText(QStringView rest)
{
    const std::optional<QString> text = expanded(rest);
    return text ? shownText(*text) : std::nullopt;
}

// `text` without the blanks cmd.exe skips around a command: ASCII ones
// only (an ideographic blank is a part of a name).
inline QString blanksTrimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text.at(begin) == u' ' || text.at(begin) == u'\t'))
        ++begin;
    while (end > begin && (text.at(end - 1) == u' ' || text.at(end - 1) == u'\t'))
        --end;
    return text.sliced(begin, end - begin);
}

// One command of a line, as written after expansion, and the group of
// parentheses it stands in (-1: none).
struct Piece
{
    QString text;
    int group = -1;
};

// An expanded line split into its commands: at & outside quotes and
// escapes (not the & of 2>&1), a group's parentheses taken away, a FOR's
// set kept. Nothing where quotes or parentheses are left open, or at a pipe.
inline std::optional<QList<Piece>> piecesOf(const QString &line)
{
    static const QRegularExpression forIn(QStringLiteral("^\\s*@?FOR (/D )?%\\S+ IN $"),
                                          QRegularExpression::CaseInsensitiveOption);
    // The conditions of an IF or a FOR whose command is a group: each
    // command of the group stands behind them.
    static const QRegularExpression conditions(
        QStringLiteral("^\\s*@?((IF (/I )?(NOT )?(EXIST \\S+|DEFINED \\S+|ERRORLEVEL \\S+|\\S+==\\S+|\\S+ "
                       "(EQU|NEQ|LSS|LEQ|GTR|GEQ) \\S+)|FOR (/D )?%\\S+ IN \\(.*\\) DO) )+$"),
        QRegularExpression::CaseInsensitiveOption);
    struct Group
    {
        int id;
        QString conditions;
    };
    QList<Piece> pieces;
    QList<Group> groups;
    int nextGroup = 0;
    QString current;
    bool quoted = false;
    int set = 0;
    // Only blanks and @ so far: a ( here opens a group.
    const auto atStart
        = [&] { return std::all_of(current.cbegin(), current.cend(), [](QChar c) { return c == u' ' || c == u'@'; }); };
    const auto end = [&] {
        if (!atStart()) {
            QString piece;
            for (const Group &g : std::as_const(groups))
                piece += g.conditions;
            pieces << Piece{blanksTrimmed(piece + current), groups.isEmpty() ? -1 : groups.last().id};
        }
        current.clear();
    };
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted || c == u'"') {
            quoted = quoted ? c != u'"' : true;
            current += c;
        } else if (c == u'^') {
            if (i + 1 >= line.size())
                return std::nullopt;
            current += c;
            current += line.at(++i);
        } else if (c == u'(' && atStart()) {
            end();
            groups << Group{nextGroup++, QString()};
        } else if (c == u'(' && set == 0 && forIn.match(current).hasMatch()) {
            ++set;
            current += c;
        } else if (c == u'(' && set == 0 && conditions.match(current).hasMatch()) {
            groups << Group{nextGroup++, blanksTrimmed(current) + u' '};
            current.clear();
        } else if (c == u')' && set > 0) {
            --set;
            current += c;
        } else if (c == u')' && !groups.isEmpty()) {
            end();
            groups.removeLast();
        } else if (c == u'&' && !current.endsWith(u'>')) {
            end();
        } else if (c == u'|') {
            return std::nullopt;
        } else {
            current += c;
        }
    }
    if (quoted || set > 0 || !groups.isEmpty())
        return std::nullopt;
    end();
    return pieces;
}

// The next word of `text` from `at`: up to a blank outside quotes, as
// written.
inline QString nextWord(QStringView text, qsizetype &at)
{
    while (at < text.size() && text.at(at) == u' ')
        ++at;
    const qsizetype start = at;
    bool quoted = false;
    while (at < text.size() && (quoted || text.at(at) != u' ')) {
        if (text.at(at) == u'"')
            quoted = !quoted;
        ++at;
    }
    return text.sliced(start, at - start).toString();
}

// A word as a command takes it: quotes removed. Nothing where cmd.exe
// would read some of it outside quotes as an escape or a separator.
inline std::optional<QString> wordRead(const QString &written)
{
    QString word;
    bool quoted = false;
    for (const QChar c : written) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && QStringLiteral("^&|<>(),;=").contains(c))
            return std::nullopt;
        else
            word += c;
    }
    return word;
}

// A command as cmd.exe runs it.
struct Command
{
    QString verb; // as written: the file writes its commands in capitals
    QString rest; // after the verb, as written
    QStringList words; // after the verb, as written, redirections taken out
    QStringList looked; // what an IF EXIST or a FOR's set names, as written
    QStringList redirected; // where its output goes, as written
    bool conditional = false; // behind an IF or a FOR
    int group = -1;
};

// The command of a piece, or nothing where it does not read as one.
inline std::optional<Command> commandOf(const Piece &piece)
{
    Command command;
    command.group = piece.group;
    const QString &text = piece.text;
    qsizetype at = 0;
    const auto skipBlanks = [&] {
        while (at < text.size() && (text.at(at) == u' ' || text.at(at) == u'@'))
            ++at;
    };
    const auto startsWith = [&](const char *word) {
        return QStringView(text).sliced(at).startsWith(QLatin1StringView(word), Qt::CaseInsensitive);
    };
    const auto redirections = [&] {
        for (skipBlanks(); at < text.size() && text.at(at) == u'>'; skipBlanks()) {
            at += startsWith(">>") ? 2 : 1;
            command.redirected << nextWord(text, at);
        }
    };
    for (;;) {
        redirections();
        if (startsWith("IF ")) {
            at += 3;
            skipBlanks();
            if (startsWith("/I "))
                at += 3;
            if (startsWith("NOT "))
                at += 4;
            if (startsWith("EXIST ")) {
                at += 6;
                command.looked << nextWord(text, at);
            } else if (startsWith("DEFINED ") || startsWith("ERRORLEVEL ")) {
                nextWord(text, at);
                nextWord(text, at);
            } else if (const QString left = nextWord(text, at); !left.contains(QStringLiteral("=="))) {
                static const QStringList comparisons{QStringLiteral("EQU"), QStringLiteral("NEQ"),
                                                     QStringLiteral("LSS"), QStringLiteral("LEQ"),
                                                     QStringLiteral("GTR"), QStringLiteral("GEQ")};
                if (!comparisons.contains(nextWord(text, at)))
                    return std::nullopt;
                nextWord(text, at);
            }
            command.conditional = true;
            continue;
        }
        if (startsWith("FOR ")) {
            const qsizetype open = text.indexOf(QStringLiteral(" IN ("), at, Qt::CaseInsensitive);
            const qsizetype close = text.indexOf(QStringLiteral(") DO "), open, Qt::CaseInsensitive);
            if (open < 0 || close < 0)
                return std::nullopt;
            command.looked << text.sliced(open + 5, close - open - 5);
            at = close + 5;
            command.conditional = true;
            continue;
        }
        break;
    }
    skipBlanks();
    command.verb = nextWord(text, at);
    if (at < text.size())
        ++at;
    command.rest = text.sliced(at);
    if (command.verb == u"ECHO" || command.verb == u"TITLE" || command.verb == u"SET")
        return command;
    static const QRegularExpression redirection(QStringLiteral("^[0-9]?(>>?|<)(.*)$"));
    while (at < text.size()) {
        const QString word = nextWord(text, at);
        if (word.isEmpty())
            break;
        const QRegularExpressionMatch m = redirection.match(word);
        if (!m.hasMatch()) {
            command.words << word;
            continue;
        }
        const QString target = m.captured(2).isEmpty() ? nextWord(text, at) : m.captured(2);
        if (m.captured(1) != u"<" && !target.startsWith(u'&') && target.compare(u"NUL", Qt::CaseInsensitive) != 0)
            command.redirected << target;
    }
    return command;
}

// The commands of a line as written in a batch file, or why they do not
// read.
struct LineRead
{
    QList<Command> commands;
    QString label; // where the line is a label, its name
    QString why;
};

inline LineRead readLine(const QString &line)
{
    LineRead read;
    if (line.startsWith(u':')) {
        read.label = line.mid(1).section(u' ', 0, 0).toUpper();
        return read;
    }
    const std::optional<QString> text = expanded(line);
    if (!text) {
        read.why = QStringLiteral("a % left over");
        return read;
    }
    const std::optional<QList<Piece>> pieces = piecesOf(*text);
    if (!pieces) {
        read.why = QStringLiteral("a quote or a parenthesis left open");
        return read;
    }
    for (const Piece &piece : *pieces) {
        const std::optional<Command> command = commandOf(piece);
        if (!command) {
            read.why = QStringLiteral("'%1' does not read as a command").arg(piece.text);
            return read;
        }
        read.commands << *command;
    }
    return read;
}

} // namespace batchwords
