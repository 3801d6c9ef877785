#!/usr/bin/env bash
# Runs Neovim's built-in LSP client headless against dovetrel-lsp, through the filetype plugin
# (nvim_client.lua has the steps). BIN_DIR holds dovetrel-lsp, PLUGIN_DIR the plugin's runtime
# folder (ftdetect/, ftplugin/, lua/): the source tree's editors/nvim or an installed
# share/nvim/site. Exit status 77 (skipped) when nvim is not installed.
# Usage: nvim_client.sh BIN_DIR PLUGIN_DIR
set -euo pipefail
bin_dir=$(realpath "${1:?usage: nvim_client.sh BIN_DIR PLUGIN_DIR}")
plugin_dir=$(realpath "${2:?usage: nvim_client.sh BIN_DIR PLUGIN_DIR}")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if ! command -v nvim >/dev/null; then
  echo "nvim_client: SKIP: nvim is not installed (scripts/setup.sh installs neovim)"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A home of its own: no user's configuration, state or log is read or written.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data \
       XDG_STATE_HOME=$work/home/state XDG_CACHE_HOME=$work/home/cache
mkdir -p "$work/set" "$HOME"

# The plugin finds the server on PATH, as an installed one does. Each wait inside is bounded;
# timeout guards against Neovim itself hanging.
PATH=$bin_dir:$PATH timeout 60 nvim --headless --clean --cmd "set runtimepath^=$plugin_dir" \
  --cmd "let g:dovetrel_test_dir = '$work/set'" -c "luafile $here/nvim_client.lua" </dev/null
