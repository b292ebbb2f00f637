// Drawing of print pages with QPainter, for the preview, the printer and PDF.
// Report units (thousandths of an inch from the paper's corner) are mapped by
// the resolution of the painter's device, so one page looks the same on each.
#pragma once

#include "platform/print_pages.h"
#include "platform/status.h"

#include <QFont>
#include <QTextOption>
#include <QImage>

#include <filesystem>

class QPainter;
class QPrinter;

namespace tavir::ui {

// Makes the print font "Arial Cyr" fall back to Liberation Sans (Arial's
// metrics) or, when that is missing, to Arial itself or DejaVu Sans. Done
// once per program; the drawing functions below call it.
void installPrintFonts();

// The Qt font that draws text of the font; its point size follows the
// resolution of the device it is used on.
QFont printFont(const platform::Font& font);
// How an item's text is laid out in its box: a wrapped text breaks between
// words, and a word longer than its line between characters, as core
// estimates its lines.
QTextOption textOption(const platform::TextItem& item);

// Draws a page on a painter whose device is the paper.
void renderPage(QPainter& painter, const platform::Page& page);

// The page as an image at `dpi` dots per inch, on white paper.
QImage pageImage(const platform::Document& document, int pageIndex, double dpi);

// Every page of the document to the printer, on A4 in the document's
// orientation.
platform::Status printDocument(const platform::Document& document, QPrinter& printer);

// Every page of the document into a PDF file. Needs a QGuiApplication (see
// pdf_export.h for programs without one).
platform::Status renderToPdf(const platform::Document& document, const std::filesystem::path& path);

}  // namespace tavir::ui
