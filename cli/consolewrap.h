#pragma once

#include <QString>
#include <QStringView>

// Text laid out for a console of a given number of columns, where a
// Japanese character takes two columns and Japanese text may break
// between any two characters but before a closing mark or after an
// opening one. A number stays with its word: the Japanese one after it
// ("259 バイト") and the one before it ("既定 6", "default 6"); a word that
// already belongs to the number before it lets go of the next number, so
// that no chain of numbers and words grows into one long piece ("1 行に
// 1 つずつ").
namespace consolewrap {

// The columns a character takes: two for wide (CJK, full-width) ones and
// the arrows and marks a Japanese console draws wide.
int columns(QChar c);
int columns(QStringView text);

// `text` as lines of at most `width` columns (a word longer than that
// stands alone), the first starting at column `first`, the next ones
// indented to `indent`; each line but the last ends with "\n". The first
// line gets no indentation of its own: it follows whatever stands before
// it.
QString wrapped(QStringView text, int width, int first, int indent);

// The lines of a paragraph given with line breaks made for another width,
// joined again: a break between two Japanese characters is dropped, any
// other becomes a blank.
QString joined(QStringView lines);

} // namespace consolewrap
