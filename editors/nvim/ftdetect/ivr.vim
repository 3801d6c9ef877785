" IVR scenario files (Dovetrel): *.ivr is filetype ivr.
autocmd BufRead,BufNewFile *.ivr setfiletype ivr
