#pragma once

#include "lsp/CheckedSet.h"
#include "scenario/Finding.h"

#include <nlohmann/json.hpp>

#include <string_view>
#include <vector>

namespace dovetrel {

/// True when the code action request \p params asks for actions of \p kind: it names no kinds, or
/// names \p kind or a kind that holds it ("source" holds "source.fixAll").
bool KindRequested(const nlohmann::json& params, std::string_view kind);

/// The action of kind "source.fixAll" that applies every text fix of \p fixes (a file's quick
/// fixes, in the order of its findings) at once: a fix whose edits overlap those of a fix before
/// it is left out whole, so that each fix applied is applied as it was made. Null when none of
/// \p fixes edits the file's text.
nlohmann::json FixAllAction(const std::vector<nlohmann::json>& fixes);

/// True when the editor, by its initialize \p params, can create a file in a workspace edit.
bool CanCreateFiles(const nlohmann::json& params);

/// For a menu that names a nested file that cannot be opened (\p finding, shown as
/// \p diagnostic): the quick fix that creates the file with a header line (a timeout of 10 s and a
/// greeting named after the file), to be filled in. The editor creates it, and refuses to where a
/// file already stands (one that cannot be read). Null for any other finding, and for a name that
/// a new file would not mend: empty, or with a folder.
nlohmann::json CreateFileAction(const Finding& finding, const nlohmann::json& diagnostic,
                                const CheckedSet& set);

} // namespace dovetrel
