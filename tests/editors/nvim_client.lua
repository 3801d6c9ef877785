-- Neovim's own LSP client against dovetrel-lsp, as a user meets it: the filetype plugin on the
-- runtimepath starts the server for a .ivr buffer, a keyword one column off shows as a diagnostic,
-- its quick fix mends the line, and the diagnostic goes; formatting lays the file out, go to
-- definition opens a nested file; the syntax file colours words by their columns. Each step is a function run in order; a step that fails stops the run (later steps
-- build on it). Every wait is bounded.
-- Run by nvim_client.sh: nvim --headless --clean, with vim.g.dovetrel_test_dir an empty folder.
local dir = vim.g.dovetrel_test_dir
local here = vim.fn.fnamemodify(debug.getinfo(1, 'S').source:sub(2), ':p:h')
local wait_ms = 10000

local function write(name, lines)
  vim.fn.writefile(lines, dir .. '/' .. name)
end

--- Waits for `condition` up to wait_ms; fails with `what` if it never holds.
local function wait_for(what, condition)
  if not vim.wait(wait_ms, condition, 10) then
    error('waited ' .. wait_ms .. ' ms in vain for ' .. what, 2)
  end
end

local function expect(what, actual, expected)
  if not vim.deep_equal(actual, expected) then
    error(what .. ': expected ' .. vim.inspect(expected) .. ', got ' .. vim.inspect(actual), 2)
  end
end

local function clients(bufnr)
  local names = {}
  for _, client in pairs(vim.lsp.buf_get_clients(bufnr)) do
    table.insert(names, client.name .. '#' .. client.id)
  end
  return names
end

--- The buffer's diagnostics as "LINE:COL CODE", 0-based, sorted.
local function diagnostics(bufnr)
  local found = {}
  for _, diagnostic in ipairs(vim.diagnostic.get(bufnr)) do
    table.insert(found, diagnostic.lnum .. ':' .. diagnostic.col .. ' ' .. tostring(diagnostic.code))
  end
  table.sort(found)
  return found
end

local main_buf, main_client

local steps = {
  {
    'the plugin starts the server for a .ivr file',
    function()
      write('main.ivr', { '10   welcome.wav', '1    menu            sales.ivr',
                          '2   dial             123', '0    disconnect' })
      write('sales.ivr', { '15   sales.wav', '1    dial            200' })
      vim.cmd('edit ' .. vim.fn.fnameescape(dir .. '/main.ivr'))
      main_buf = vim.api.nvim_get_current_buf()
      expect('filetype', vim.bo.filetype, 'ivr')
      expect('expandtab', vim.bo.expandtab, true)
      wait_for('the server to start', function()
        local attached = vim.lsp.buf_get_clients(main_buf)
        local _, client = next(attached)
        return client ~= nil and client.initialized
      end)
      main_client = clients(main_buf)
      expect('servers of main.ivr', #main_client, 1)
    end,
  },
  {
    'the keyword one column off is a diagnostic at its word',
    function()
      wait_for('diagnostics', function() return #vim.diagnostic.get(main_buf) > 0 end)
      expect('diagnostics', diagnostics(main_buf), { '2:4 keyword-not-in-column' })
      expect('severity', vim.diagnostic.get(main_buf)[1].severity, vim.diagnostic.severity.WARN)
    end,
  },
  {
    'the quick fix at that line mends it',
    function()
      vim.api.nvim_win_set_cursor(0, { 3, 0 })
      local offered
      -- The user's choice in the code action menu: the line's quick fix, before the fix of
      -- the whole file.
      vim.ui.select = function(items, opts, on_choice)
        offered = vim.tbl_map(opts.format_item, items)
        on_choice(items[1], 1)
      end
      vim.lsp.buf.code_action()
      wait_for('the quick fix to change the buffer', function()
        return vim.api.nvim_buf_get_lines(main_buf, 2, 3, true)[1] ~= '2   dial             123'
      end)
      expect('actions offered', #offered, 2)
      expect('the second action', offered[2], 'Исправить всё в файле')
      expect('the buffer', vim.api.nvim_buf_get_lines(main_buf, 0, -1, true),
             { '10   welcome.wav', '1    menu            sales.ivr', '2    dial            123',
               '0    disconnect' })
      expect('modified', vim.bo[main_buf].modified, true)
    end,
  },
  {
    'the diagnostic goes once the change reaches the server',
    function()
      wait_for('no diagnostics', function() return #vim.diagnostic.get(main_buf) == 0 end)
    end,
  },
  {
    'formatting puts every word in its column',
    function()
      vim.api.nvim_buf_set_lines(main_buf, 0, -1, true,
                                 { '10      welcome.wav', '1      menu              sales.ivr',
                                   '2    dial            123', '0       disconnect' })
      vim.lsp.buf.formatting_sync(nil, wait_ms)
      expect('the buffer', vim.api.nvim_buf_get_lines(main_buf, 0, -1, true),
             { '10   welcome.wav', '1    menu            sales.ivr', '2    dial            123',
               '0    disconnect' })
    end,
  },
  {
    'go to definition on a menu line opens the file it names',
    function()
      vim.api.nvim_win_set_cursor(0, { 2, 23 })
      vim.lsp.buf.definition()
      wait_for('sales.ivr to open', function()
        return vim.api.nvim_buf_get_name(0):match('/sales%.ivr$') ~= nil
      end)
      expect('the first line', vim.api.nvim_get_current_line(), '15   sales.wav')
      vim.cmd('buffer ' .. main_buf)
    end,
  },
  {
    'a nested file of the same folder shares the server',
    function()
      vim.cmd('edit ' .. vim.fn.fnameescape(dir .. '/sales.ivr'))
      local sales_buf = vim.api.nvim_get_current_buf()
      expect('servers of sales.ivr', clients(sales_buf), main_client)
      expect('servers running', #vim.lsp.get_active_clients(), 1)
      expect('diagnostics of sales.ivr', diagnostics(sales_buf), {})
    end,
  },
  {
    'the syntax colours each word by its column, as Kate does (columns.formats)',
    function()
      vim.fn.writefile(vim.fn.readfile(here .. '/columns.ivr'), dir .. '/columns.ivr')
      vim.cmd('edit ' .. vim.fn.fnameescape(dir .. '/columns.ivr'))
      local coloured = {}
      for number, line in ipairs(vim.api.nvim_buf_get_lines(0, 0, -1, true)) do
        local words, previous = {}, ''
        for column = 1, #line do
          local name = vim.fn.synIDattr(vim.fn.synID(number, column, 1), 'name'):gsub('^ivr', '')
          if name ~= previous and name ~= '' then
            table.insert(words, (column - 1) .. ':' .. name)
          end
          previous = name
        end
        table.insert(coloured, table.concat(words, ' '))
      end
      expect('formats', coloured, vim.fn.readfile(here .. '/columns.formats'))
    end,
  },
}

local failed = false
for number, step in ipairs(steps) do
  local ok, message = pcall(step[2])
  if ok then
    io.stdout:write(('ok %d - %s\n'):format(number, step[1]))
  else
    io.stdout:write(('not ok %d - %s: %s\n'):format(number, step[1], message))
    failed = true
    break
  end
end
vim.cmd(failed and 'cquit 1' or 'qall!')
