#pragma once

// A printed report of A4 pages, built from sections in order: what leaves the
// test bed. It knows no page of the window; the caller fills it with texts
// already formatted as the page shows them.

#include <QImage>

#include <string>
#include <vector>

#include "app/report/FileFingerprint.h"

namespace morvane {

struct TReportTable {
    std::vector<std::string> Header;  // may be empty
    std::vector<std::vector<std::string>> Rows;
};

struct TReportSection {
    std::string Heading;
    std::vector<std::string> Paragraphs;  // plain text lines
    std::vector<TReportTable> Tables;
    std::vector<QImage> Pictures;  // each scaled to the text width, never split over pages
};

struct TReport {
    std::string Title;           // e.g. "Zpráva o spalování"
    std::string ProgramVersion;  // printed in every page's footer with the date
    std::string Created;         // date and time of writing, as printed
    std::vector<TReportSection> Sections;
};

// Writes the report as a PDF of A4 pages with real text; each page's footer
// reads "Morvane <version> · <created> · strana N z M". A table longer than a
// page goes on over the next with its header repeated. The file is replaced
// only once complete (WriteFileReplacing): EFOpenError when it cannot be
// written, and no part of it is left.
void WritePdfReport(const TReport& report, const std::string& path);

// The input files as a table: Soubor, Velikost [B], Změněn, SHA-256.
TReportTable FingerprintTable(const std::vector<TFileFingerprint>& files);

}  // namespace morvane
