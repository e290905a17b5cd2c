#ifndef CALCSWEEPFOLDER_H
#define CALCSWEEPFOLDER_H

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A private folder in the temporary folder for the program's own offices: their profiles, the
// copies of the workbook and the offices' own temporary files, or the snapshot of a workbook
// they copy. A program that is killed can neither stop its offices nor remove the folder, so each
// folder names the process that owns it, and making a new one first stops the offices of folders
// whose owners are gone and removes those folders.
namespace CalcSweepFolder {

// A new folder of this process; nullptr when none can be made.
std::unique_ptr<QTemporaryDir> create();
// Stops the offices that run on profiles in the abandoned folders below temp and removes those
// folders; returns how many it removed. Folders of live processes and folders that name no
// owner (one being made this moment) are left alone.
int removeAbandoned(const QString &temp);

} // namespace CalcSweepFolder

#endif
