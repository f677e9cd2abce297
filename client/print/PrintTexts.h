#pragma once
// The captions and messages of printing, print preview and export, in one place.
namespace tarnwick::print_texts {

// The report.
inline const char* const kDocumentName = "Tarnwick";
inline const char* const kReportTitle = "Bug Report";
inline const char* const kPageNumber = "%d/%d";

// Printing.
inline const char* const kPrintingFailed = "Printing failed on page %1.";
inline const char* const kPrintingNotStarted = "Printing could not start.";

// Export.
inline const char* const kExportCaption = "Export";
inline const char* const kCsvFilter = "CSV (*.csv)";
inline const char* const kPdfFilter = "PDF (*.pdf)";
inline const char* const kExportProgress = "Exporting the list...";
inline const char* const kCancel = "Cancel";
inline const char* const kExportFailed = "Export failed: %1";
inline const char* const kRowUnreadable = "row %1 of the list could not be read.";
inline const char* const kListChanged = "the list changed while it was being exported.";
inline const char* const kNothingToPrint = "the list is empty, so there is no page to export.";

} // namespace tarnwick::print_texts
