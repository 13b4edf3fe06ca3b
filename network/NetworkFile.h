// The network file: JSON marked "kalvor-network": 1, taken whole or refused whole, saved by an
// atomic replacement of the file.
#pragma once

#include "network/Network.h"

#include <string>
#include <string_view>

namespace kalvor {

inline constexpr int NetworkFileVersion = 1;

// The network a file's text holds. Absent fields take their defaults: name "", air t 20 and
// PBar 1013, Vmax 6, tolerance 10, reserve 10; in a section parent "" (the root), material 0,
// kms 0, flow 0, Vmax the network's. id, shape, size and length must be there. Throws
// NetworkError for a text that is not JSON, an unknown version, an unknown or mistyped field and
// every rule of CheckNetwork; nothing is taken from a refused text. checked, when given, receives
// what the check found, for ComputeNetwork to take without checking again.
Network ParseNetworkText(std::string_view text, CheckedNetwork* checked = nullptr);

// The file's text: one line per section, fields in the file's order, whole numbers without a
// fraction. Throws Error for a text field that is not UTF-8.
std::string NetworkFileText(const Network& network);

// Reads and parses a file. Throws NetworkError, for a file that cannot be read too.
Network LoadNetworkFile(const std::string& path, CheckedNetwork* checked = nullptr);

// Replaces the file whole (a temporary file beside it, renamed over it): a failed save leaves the
// old file as it was. A link of the user's own is kept and its file replaced. Throws Error for
// every target OutputPath refuses.
void SaveNetworkFile(const std::string& path, const Network& network);

// The file a save or an export of `path` replaces (ResolveWriteTarget). Throws Error ("файл «…» не
// записан: …") for a target that is the input, exists and is not a regular file, is a link not of
// the user's own, or may not be written ("доступ запрещён").
std::string OutputPath(const std::string& path, const std::string& input = {});

} // namespace kalvor
