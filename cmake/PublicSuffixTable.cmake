# Turns the Public Suffix List (public_suffix_list.dat) into the compact
# table that config/PublicSuffix.cpp searches, as a C++ include file:
#   cmake -DLIST=<public_suffix_list.dat> -DOUT=<file.inc> -P PublicSuffixTable.cmake
#
# Every rule of both sections (ICANN and private) becomes one entry: its
# labels in reverse order ("*.kawasaki.jp" -> "jp.kawasaki.*", an exception
# "!city.kawasaki.jp" -> "jp.kawasaki.!city"), ASCII lower case, UTF-8.
# The entries are sorted and front-coded, as a string of 6-bit symbols
# packed into bytes, the first symbol in the highest bits:
#   0-25 "a"-"z", 26-35 "0"-"9", 36 "-", 37 ".", 38 "*", 39 "!";
#   40-61 start an entry: take 0 to 21 bytes off the end of the entry before
#         it (a run of them adds up), then append what follows;
#   62 v  the UTF-8 byte 0xC0 + v;  63 v  the UTF-8 byte 0x80 + v.
# The symbol count is PublicSuffixSymbols: the last byte may hold padding.
# The entries that begin with one byte make a block, whose first entry is
# written whole; PublicSuffixBlocks gives each block's first byte and the
# number of its first symbol, so that a lookup decodes only its own block.
cmake_minimum_required(VERSION 3.25)

if(NOT EXISTS "${LIST}")
    message(FATAL_ERROR "The Public Suffix List is missing: ${LIST} (Debian package publicsuffix, scripts/setup)")
endif()
file(STRINGS "${LIST}" lines ENCODING UTF-8)

set(rules "")
foreach(line IN LISTS lines)
    # A rule is the line up to its first white space; "//" starts a comment.
    string(REGEX REPLACE "[ \t].*$" "" rule "${line}")
    if(rule STREQUAL "" OR rule MATCHES "^//")
        continue()
    endif()
    string(TOLOWER "${rule}" rule)
    string(REPLACE "." ";" labels "${rule}")
    list(REVERSE labels)
    list(JOIN labels "." reversed)
    list(APPEND rules "${reversed}")
endforeach()
list(REMOVE_DUPLICATES rules)
list(SORT rules)
list(LENGTH rules count)
if(count LESS 1000)
    message(FATAL_ERROR "${LIST} holds only ${count} rules: not the Public Suffix List")
endif()

set(alphabet "abcdefghijklmnopqrstuvwxyz0123456789-.*!")
set(body "")
set(blocks "")
set(previous "")
set(previousFirst "")
set(symbols 0)
set(bits 0)
set(pending 0)
set(bytes 0)
# Appends one symbol to the packed bytes.
macro(put symbol)
    math(EXPR pending "(${pending} << 6) | ${symbol}")
    math(EXPR bits "${bits} + 6")
    math(EXPR symbols "${symbols} + 1")
    if(bits GREATER_EQUAL 8)
        math(EXPR bits "${bits} - 8")
        math(EXPR byte "${pending} >> ${bits}" OUTPUT_FORMAT HEXADECIMAL)
        math(EXPR pending "${pending} & ((1 << ${bits}) - 1)")
        string(APPEND body "${byte},")
        math(EXPR bytes "${bytes} + 1")
        math(EXPR column "${bytes} % 16")
        if(column EQUAL 0)
            string(APPEND body "\n")
        endif()
    endif()
endmacro()
foreach(rule IN LISTS rules)
    string(LENGTH "${previous}" previousLength)
    string(LENGTH "${rule}" ruleLength)
    set(shared 0)
    while(shared LESS previousLength AND shared LESS ruleLength)
        string(SUBSTRING "${previous}" ${shared} 1 a)
        string(SUBSTRING "${rule}" ${shared} 1 b)
        if(NOT a STREQUAL b)
            break()
        endif()
        math(EXPR shared "${shared} + 1")
    endwhile()
    string(SUBSTRING "${rule}" 0 1 first)
    if(NOT first STREQUAL previousFirst)
        set(shared 0)
        string(HEX "${first}" firstHex)
        string(APPEND blocks "{0x${firstHex}, ${symbols}},\n")
        set(previousFirst "${first}")
    endif()
    math(EXPR drop "${previousLength} - ${shared}")
    while(TRUE)
        if(drop GREATER 21)
            put(61)
            math(EXPR drop "${drop} - 21")
        else()
            math(EXPR symbol "40 + ${drop}")
            put(${symbol})
            break()
        endif()
    endwhile()
    string(SUBSTRING "${rule}" ${shared} -1 added)
    string(HEX "${added}" hex)
    string(LENGTH "${hex}" hexLength)
    set(at 0)
    while(at LESS hexLength)
        string(SUBSTRING "${hex}" ${at} 2 pair)
        math(EXPR at "${at} + 2")
        math(EXPR value "0x${pair}")
        if(value GREATER_EQUAL 192)
            put(62)
            math(EXPR value "${value} - 192")
            put(${value})
        elseif(value GREATER_EQUAL 128)
            put(63)
            math(EXPR value "${value} - 128")
            put(${value})
        else()
            string(ASCII ${value} char)
            string(FIND "${alphabet}" "${char}" symbol)
            if(symbol LESS 0)
                message(FATAL_ERROR "${LIST}: a rule with a character no host has: ${rule}")
            endif()
            put(${symbol})
        endif()
    endwhile()
    set(previous "${rule}")
endforeach()
if(bits GREATER 0)
    math(EXPR shift "8 - ${bits}")
    math(EXPR byte "${pending} << ${shift}" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND body "${byte}")
    math(EXPR bytes "${bytes} + 1")
endif()

file(TIMESTAMP "${LIST}" listDate "%Y-%m-%d" UTC)
file(WRITE "${OUT}.part"
    "// Made from ${LIST} (${listDate}, ${count} rules) by cmake/PublicSuffixTable.cmake.\n"
    "// ${bytes} bytes; the format is described there.\n"
    "inline constexpr unsigned long PublicSuffixSymbols = ${symbols};\n"
    "inline constexpr unsigned char PublicSuffixRules[] = {\n${body}};\n"
    "inline constexpr PublicSuffixBlock PublicSuffixBlocks[] = {\n${blocks}};\n")
file(RENAME "${OUT}.part" "${OUT}")
