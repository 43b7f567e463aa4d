#pragma once
// The work folder: where the program puts the pictures it generates itself
// (transition and text GIFs, captures) before frames refer to them. It is
// "Work" beside the program when that can be written, otherwise Pelko/Work in
// the user's data folder; either is created when missing.

#include <stdexcept>
#include <string>

namespace pelko {

// The folder of the running program, with its trailing separator ("" when
// the system does not say).
std::string programFolder();

// The user's data folder: $XDG_DATA_HOME when it is an absolute path,
// otherwise $HOME/.local/share ("" when neither is known).
std::string userDataHome();

// Neither place for the work folder could be made or written.
class WorkFolderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The work folder, made when missing: programFolder + "Work" when that folder
// exists and can be written or can be created, otherwise dataHome +
// "/Pelko/Work". Returns its path without a trailing separator. Throws
// WorkFolderError with failurePrefix + programFolder (with its trailing
// separator) + " Work directory." when neither can be used.
std::string prepareWorkFolder(const std::string& programFolder, const std::string& dataHome,
                              const std::string& failurePrefix);

}  // namespace pelko
