#pragma once
// Where the client keeps its own files (Bug.cfg, filter.ser): in the program's directory when
// the program may write there, otherwise in ${XDG_CONFIG_HOME:-$HOME/.config}/tarnwick/.
#include <QString>

namespace tarnwick {

enum class ClientFileUse {
    Read,  // the file to read: where it was last written, or a copy set up beside the program
    Write, // the file to write: the per-user folder is created when it is the one chosen
};

// The full path of the client file name for the given use.
//
// Writing goes to the program's directory when it is writable, else to the per-user folder.
// Reading takes the same file, with one addition for a program directory the user cannot write
// to: a file there (for instance set up at installation) is read until the user has saved a
// file of that name in the per-user folder, which then wins, so saved settings are never
// shadowed by the read-only copy.
QString ClientFilePath(const QString& name, ClientFileUse use = ClientFileUse::Read);

// The directory of the running program (of /proc/self/exe).
QString ProgramDirectory();
// ${XDG_CONFIG_HOME:-$HOME/.config}/tarnwick
QString UserConfigDirectory();

// The rule of ClientFilePath over given directories, with whether the program may write to its
// own directory already known. The per-user folder is created for writing when it is chosen.
QString ResolveClientFilePath(const QString& name, const QString& programDirectory,
                              bool programDirectoryWritable, const QString& userDirectory,
                              ClientFileUse use);

} // namespace tarnwick
