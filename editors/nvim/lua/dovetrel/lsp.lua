-- Starts the language server dovetrel-lsp for IVR scenario buffers: one server for each folder
-- (a scenario set lives in one folder), shared by every buffer of that folder. Neovim 0.8 and
-- later reuse the server themselves (vim.lsp.start); on 0.7 this module keeps the table.
--
-- Settings, before the first .ivr buffer opens:
--   vim.g.dovetrel_lsp_cmd = { '/path/to/dovetrel-lsp' }  -- the command (default: from PATH)
--   vim.g.dovetrel_lsp_enabled = false                     -- no server at all
local M = {}

--- Client id of the server of each folder, on Neovim 0.7.
local clients = {}
--- The missing program is told once per session, not on every buffer.
local told_missing = false

local function command()
  local cmd = vim.g.dovetrel_lsp_cmd or { 'dovetrel-lsp' }
  if type(cmd) == 'string' then
    cmd = { cmd }
  end
  return cmd
end

--- The server of the folder `root`, started if it has none running (Neovim 0.7).
local function client_of(root, cmd)
  local id = clients[root]
  if id and vim.lsp.get_client_by_id(id) then
    return id
  end
  id = vim.lsp.start_client({
    name = 'dovetrel',
    cmd = cmd,
    root_dir = root,
    on_exit = function(_, _, client_id)
      if clients[root] == client_id then
        clients[root] = nil
      end
    end,
  })
  clients[root] = id
  return id
end

--- Attaches the buffer `bufnr` (a file's buffer) to the server of the file's folder.
function M.attach(bufnr)
  if vim.g.dovetrel_lsp_enabled == false or vim.bo[bufnr].buftype ~= '' then
    return
  end
  local name = vim.api.nvim_buf_get_name(bufnr)
  if name == '' then
    return
  end
  local cmd = command()
  if vim.fn.executable(cmd[1]) ~= 1 then
    if not told_missing then
      told_missing = true
      vim.notify('dovetrel: программа ' .. cmd[1] .. ' не найдена, файлы .ivr не проверяются',
        vim.log.levels.WARN)
    end
    return
  end
  local root = vim.fn.fnamemodify(name, ':p:h')
  if vim.lsp.start then
    vim.lsp.start({ name = 'dovetrel', cmd = cmd, root_dir = root }, { bufnr = bufnr })
    return
  end
  local id = client_of(root, cmd)
  if id then
    vim.lsp.buf_attach_client(bufnr, id)
  end
end

return M
