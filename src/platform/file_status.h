// What the platform's file services report. Each platform maps its own error
// numbers to these in exactly one place.
#pragma once

namespace Kelvo::platform {

enum class FileStatus {
  kOk,
  kNotFound,        // no such file, or a folder on the way is missing
  kAccessDenied,    // the file system refused the access asked for
  kAlreadyExists,   // the mode asked for a new file and one exists
  kNotRegularFile,  // a folder, a pipe, a socket or a device
  kFailed,          // any other refusal or input/output error
};

}  // namespace Kelvo::platform
