#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "model/Files.h"
#include "model/Workspace.h"
#include "platform/FileDialog.h"

class QWidget;

// Reading a record-line file into one of the lists, shared by the list and results tabs.
namespace pages {

// Puts a file that was read into a list, or tells the user why it was not (with `owner` as the
// message box's owner). Returns false when nothing could be read. What the user should know of
// a load that went through (draws left out, an unfinished last line) comes back in `notice`, to
// be shown once the grids show the load.
bool ApplyRecordFile(QWidget* owner, int32_t language, const QString& path,
                     const tallyra::FileText& file, tallyra::TableRef table, int32_t& count,
                     bool keepLatest, QString& notice);

// Reads the file at `path` (as the file dialog gives it) and puts it into a list as above.
bool LoadRecordFile(QWidget* owner, int32_t language, const QString& path, tallyra::TableRef table,
                    int32_t& count, bool keepLatest, QString& notice);

// Asks for a file to import (any of the shapes the importer reads) and reads it whole: its
// bytes and its name. Nothing when the dialog is cancelled or the file cannot be read (the user
// is told why).
// The dialog's title and filter name what is imported.
enum class ImportKind { Draws, Stakes, System };
std::optional<std::pair<std::string, QString>> PickImportFile(
    QWidget* owner, int32_t language, const tallyra::DataFiles& files,
    const platform::FileDialogOptions& openOptions, ImportKind kind);

// Shows the notice of a load, if there is one.
void ShowLoadNotice(QWidget* owner, int32_t language, const QString& notice);

}  // namespace pages
