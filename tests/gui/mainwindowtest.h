#pragma once

// What the suites of the main window share.

#include "fakeplatform.h"

#include "app/errorguard.h"
#include "app/mainwindow.h"
#include "app/screencentring.h"
#include "app/startup.h"
#include "core/text/textrules.h"
#include "core/text/toolkittranslation.h"
#include "inputs/conversionoptions.h"
#include "inputs/sourcelist.h"
#include "inputs/sourcelistview.h"
#include "platform/qtplatformservices.h"
#include "savebar/saveaction.h"
#include "ui/captionfit.h"
#include "ui/readablecolour.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <QUrl>

#include <stdexcept>

// The lowest row of a widget's area, in its window, that holds a pixel far
// from the background: the baseline of a text without descenders.
inline int lowestInkRow(const QImage &window, const QWidget *widget)
{
    const QRect area(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
    const QColor face = window.pixelColor(area.topLeft());
    for (int y = area.bottom(); y >= area.top(); --y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = window.pixelColor(x, y);
            if (qAbs(c.lightness() - face.lightness()) > 96)
                return y;
        }
    }
    return -1;
}
