#pragma once

class QLineEdit;
class QWidget;

// The layout of the window is fixed, made for the Windows faces. Where a
// stand-in face draws a caption wider than its control, the caption's face
// is condensed just enough to fit, rather than cut off.
namespace captionfit {

// Fits the captions of the labels, radio buttons and check boxes below
// `root`, as they are now.
void condenseToFit(QWidget *root);

// Fits the text of a read-only field, as it is now: its face condensed
// just enough, or as it was where the text fits.
void fitText(QLineEdit *field);

// The width a caption needs in its control, and the width it has.
int neededWidth(const QWidget *control);
int availableWidth(const QWidget *control);

} // namespace captionfit
