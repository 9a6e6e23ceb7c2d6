// The exit statuses of the subhost program.
#pragma once

namespace Kelvo::subhost {

inline constexpr int kExitSuccess = 0;
// The plug-in refused the source, or could not be loaded or driven.
inline constexpr int kExitRefused = 1;
// The command line is wrong.
inline constexpr int kExitUsage = 2;

}  // namespace Kelvo::subhost
