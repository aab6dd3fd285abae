#pragma once

// A batch file's lines as cmd.exe reads them: the words of a line, the
// text ECHO shows, and why a line does not read as a layout states it.
#include "core/text/textrules.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <optional>

namespace batchwords {

// Splits a line the way cmd.exe does: blanks outside quotes separate words,
// quotes are removed, %% is one %. Nothing when cmd.exe would read some of
// it as an operator, a variable or the end of the command.
inline std::optional<QStringList> cmdWords(const QString &line)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
            continue;
        }
        if (c == u'%') {
            if (i + 1 >= line.size() || line.at(i + 1) != u'%')
                return std::nullopt;
            word += u'%';
            ++i;
            inWord = true;
            continue;
        }
        if (!quoted && c == u' ') {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
            continue;
        }
        if ((!quoted && QStringLiteral("&|<>^(),;=").contains(c)) || c.unicode() < 0x20)
            return std::nullopt;
        word += c;
        inWord = true;
    }
    if (quoted)
        return std::nullopt;
    if (inWord)
        words << word;
    return words;
}

// The text ECHO or TITLE shows for the rest of a line, as cmd.exe reads it:
// ^ takes the next character as it is, %% is one %. Nothing when cmd.exe
// would take some of it as an operator or a variable.
inline std::optional<QString> echoedText(QStringView rest)
{
    QString shown;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QChar c = rest.at(i);
        if (c == u'^') {
            if (++i >= rest.size())
                return std::nullopt;
            shown += rest.at(i);
        } else if (c == u'%') {
            if (++i >= rest.size() || rest.at(i) != u'%')
                return std::nullopt;
            shown += u'%';
        } else if (QStringLiteral("&|<>").contains(c) || c.unicode() < 0x20) {
            return std::nullopt;
        } else {
            shown += c;
        }
    }
    return shown;
}

// One piece of a line as the layout states it: text that stands as it is,
// a path as cmd.exe takes it (its words quoted or not, %% one %), or a text
// as ECHO shows it (^ escapes, %% one %).
struct Piece
{
    enum Kind { Text, Path, Shown } kind;
    QString text;
};
using Line = QList<Piece>;
inline Piece text(const QString &t) { return {Piece::Text, t}; }
inline Piece path(const QString &p) { return {Piece::Path, textrules::upperCased(p)}; }
inline Piece shown(const QString &s) { return {Piece::Shown, s}; }
inline Line line(const QString &t) { return {text(t)}; }

// Why `written` does not read as `expected`, or an empty text.
inline QString mismatch(const QString &written, const Line &expected)
{
    qsizetype at = 0;
    for (qsizetype k = 0; k < expected.size(); ++k) {
        const Piece &piece = expected.at(k);
        const QStringView rest = QStringView(written).mid(at);
        switch (piece.kind) {
        case Piece::Text:
            if (!rest.startsWith(piece.text))
                return QStringLiteral("'%1' where '%2' stands").arg(rest.toString(), piece.text);
            at += piece.text.size();
            break;
        case Piece::Path: {
            // A path ends with its closing quote, or else at a blank, at the
            // ")" that closes a FOR's set or at the "&" before the next
            // command: an unquoted one holds none of them.
            qsizetype end = -1;
            if (rest.startsWith(u'"')) {
                end = rest.indexOf(u'"', 1) + 1;
            } else {
                for (qsizetype c = 0; c < rest.size() && end < 0; ++c)
                    end = rest[c] == u' ' || rest[c] == u')' || rest[c] == u'&' ? c : -1;
            }
            if (end <= 0)
                end = rest.size();
            const std::optional<QStringList> words = cmdWords(rest.left(end).toString());
            if (words != QStringList{piece.text})
                return QStringLiteral("'%1' does not read as the path %2").arg(rest.left(end).toString(), piece.text);
            at += end;
            break;
        }
        case Piece::Shown: {
            // Up to the text that follows it, where it stands outside an
            // escape (a name's "^&" is no "&"), or the end of the line.
            qsizetype end = rest.size();
            if (k + 1 < expected.size() && expected.at(k + 1).kind == Piece::Text) {
                const QString &next = expected.at(k + 1).text;
                end = -1;
                for (qsizetype c = 0; c < rest.size() && end < 0; ++c) {
                    if (rest[c] == u'^')
                        ++c;
                    else if (rest.sliced(c).startsWith(next))
                        end = c;
                }
            }
            if (end < 0 || echoedText(rest.left(end)) != piece.text)
                return QStringLiteral("'%1' does not show '%2'").arg(rest.toString(), piece.text);
            at += end;
            break;
        }
        }
    }
    return at == written.size() ? QString() : QStringLiteral("'%1' left over").arg(written.mid(at));
}

// Why the lines of a batch file do not read as the layout states them, or
// an empty text.
inline QString mismatch(const QStringList &written, const QList<Line> &expected)
{
    for (qsizetype i = 0; i < qMin(written.size(), expected.size()); ++i) {
        if (const QString why = mismatch(written.at(i), expected.at(i)); !why.isEmpty())
            return QStringLiteral("line %1: %2 (%3)").arg(i + 1).arg(why, written.at(i));
    }
    if (written.size() != expected.size())
        return QStringLiteral("%1 lines, %2 expected").arg(written.size()).arg(expected.size());
    return QString();
}

} // namespace batchwords
