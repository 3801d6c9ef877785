" IVR scenario files (Dovetrel): each word coloured by its column, as Kate's definition does. The
" first line holds the timeout and the greeting; every further line the key at column 1, the
" action keyword at column 6 and the argument at column 22. Any other word is out of its column
" and marked as an error (the later match wins where two start at the same place).
if exists('b:current_syntax')
  finish
endif

syntax match ivrMisplaced /\S\+/
syntax match ivrKey /\%1c\S\+/
syntax match ivrKeyword /\%6c\%(menu\|dial\|disconnect\)\ze\%(\s\|$\)/
syntax match ivrArgument /\%22c\S\+/
syntax match ivrTimeout /\%1l\%1c\S\+/
syntax match ivrGreeting /\%1l\%(^\S\+\s\+\)\@<=\S\+/

highlight default link ivrMisplaced Error
highlight default link ivrKey Special
highlight default link ivrKeyword Keyword
highlight default link ivrArgument String
highlight default link ivrTimeout Number
highlight default link ivrGreeting String

let b:current_syntax = 'ivr'
