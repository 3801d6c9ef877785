-- IVR scenario files: words stand at fixed columns (key 1, keyword 6, argument 22, counting from
-- 1), so a Tab, which the format reads as part of a word, is typed as spaces and those columns are
-- marked. The language server dovetrel-lsp checks the set as the author types.
if vim.b.did_ftplugin then
  return
end
vim.b.did_ftplugin = 1

vim.opt_local.expandtab = true
vim.opt_local.colorcolumn = { '6', '22' }
vim.b.undo_ftplugin = 'setlocal expandtab< colorcolumn<'

require('dovetrel.lsp').attach(vim.api.nvim_get_current_buf())
