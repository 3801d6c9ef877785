#pragma once

#include "lsp/CheckedSet.h"
#include "lsp/FileRequests.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// The names of the regular files in the folder \p strFolder (empty or ending with '/'), in any
/// order; empty when it cannot be listed: the folder lister over the real file system, the one
/// the server uses.
std::vector<std::string> ListFolderFiles(const std::string& strFolder);

/// The nested file that the menu argument at \p position names, as a location at its start; null
/// anywhere else and for a file that is not of the set.
nlohmann::json FindDefinition(const CheckedSet& set, const std::string& strPath,
                              const nlohmann::json& position, const RequestSeams& seams = {});

/// Every menu argument of the set that names the file at \p position: the file a menu argument
/// there names, otherwise \p strPath itself. \p bDeclaration adds the file's start.
nlohmann::json FindReferences(const CheckedSet& set, const std::string& strPath,
                              const nlohmann::json& position, bool bDeclaration,
                              const RequestSeams& seams = {});

/// What a rename at \p position would rename: the menu argument's range with the file's name, or,
/// elsewhere in a nested file, the position itself with its name; refused for the main file.
RequestAnswer PrepareRename(const CheckedSet& set, const std::string& strPath,
                            const nlohmann::json& position);

/// Renames the nested file at \p position (as FindReferences picks it) to \p strNewName: the edits
/// of every menu argument naming it, then the file's own rename, for the editor to apply; the
/// server writes nothing. Refuses the main file and any name the reader or the checks would not
/// take, or that a file of the set or of the folder already has.
RequestAnswer RenameFile(const CheckedSet& set, const std::string& strPath,
                         const nlohmann::json& position, const std::string& strNewName,
                         const RequestSeams& seams = {});

/// The outline of \p strPath: its header and each key line as the reader splits them.
nlohmann::json ListDocumentSymbols(const CheckedSet& set, const std::string& strPath);

/// Completion at \p position: the keys the file has not used yet at the key column, the action
/// keywords at the action column, the folder's usable .ivr files at a menu's argument column;
/// each item's edit puts its word at its column.
nlohmann::json Complete(const CheckedSet& set, const std::string& strPath,
                        const nlohmann::json& position, const RequestSeams& seams = {});

} // namespace dovetrel
