# Turns a program's --help text into a manual page, so that the two never
# disagree. Run as
#   PROGRAM --help | awk -v program=PROGRAM -f man_page.awk > NAME.1
# The help text is read as: a first line "NAME VERSION - WHAT IT DOES"; a
# "usage:" line with its continuation lines; paragraphs; sections that start
# with a line "name:" and hold entries "  TERM" followed by "      text" (or
# "  TERM  text" on one line). In a "commands:" section every command's own
# "PROGRAM COMMAND --help" becomes a subsection with its usage, summary and
# options.

function esc(s)
{
    gsub(/\\/, "\\e", s)
    gsub(/-/, "\\-", s)
    if (s ~ /^[.']/)
        s = "\\&" s
    return s
}

# "pelko-cli make ARGS": the first n words bold, the rest plain.
function boldWords(s, n,    i, words, count, out)
{
    count = split(s, words, " ")
    out = ""
    for (i = 1; i <= count; i++) {
        if (i > 1)
            out = out " "
        out = out (i <= n ? "\\fB" esc(words[i]) "\\fR" : esc(words[i]))
    }
    return out
}

# An option entry: its name bold, the value it takes in italics.
function term(s,    i)
{
    i = index(s, " ")
    if (s !~ /^-/ || i == 0)
        return "\\fB" esc(s) "\\fR"
    return "\\fB" esc(substr(s, 1, i - 1)) "\\fR \\fI" esc(substr(s, i + 1)) "\\fR"
}

function commandSection(verb,    command, line, state)
{
    command = "\"" program "\" " verb " --help"
    print ".SS " esc(verb)
    state = "usage"
    while ((command | getline line) > 0) {
        if (line ~ /^usage: /) {
            sub(/^usage: /, "", line)
            print boldWords(line, 2)
            print ".PP"
        } else if (line ~ /^options:$/ || line == "") {
            continue
        } else if (line ~ /^  [^ ]/) {
            sub(/^ +/, "", line)
            print ".TP"
            print term(line)
        } else {
            sub(/^ +/, "", line)
            print esc(line)
        }
    }
    close(command)
}

NR == 1 {
    dash = index($0, " - ")
    split(substr($0, 1, dash - 1), nameVersion, " ")
    name = nameVersion[1]
    printf ".TH %s 1 \"\" \"Pelko %s\" \"User Commands\"\n", toupper(esc(name)), nameVersion[2]
    print ".SH NAME"
    print esc(name) " \\- " esc(substr($0, dash + 3))
    next
}

/^usage: / {
    section = "usage"
    print ".SH SYNOPSIS"
    print ".nf"
    print boldWords(substr($0, 8), 1)
    next
}
section == "usage" && /^       [^ ]/ {
    sub(/^ +/, "")
    print boldWords($0, 1)
    next
}
section == "usage" {
    print ".fi"
    section = "DESCRIPTION"
    described = 0
}

/^$/ { blank = 1; next }

/^[a-z][a-z ]*:$/ {
    section = toupper(substr($0, 1, length($0) - 1))
    if (section == "EXIT CODES")
        section = "EXIT STATUS"
    print ".SH " section
    blank = 0
    next
}

section == "COMMANDS" && /^  [^ ]/ { commandSection($1); next }
section == "COMMANDS" { next }  # the summary comes with the command's own help

# "  TERM  text" on one line
/^  [^ ]+  +[^ ]/ {
    name = $0
    sub(/^  /, "", name)
    text = name
    sub(/  .*/, "", name)
    sub(/^[^ ]+  +/, "", text)
    print ".TP"
    print term(name)
    print esc(text)
    blank = 0
    next
}

/^  [^ ]/ {
    sub(/^  /, "")
    print ".TP"
    print term($0)
    blank = 0
    next
}
/^      / {
    sub(/^ +/, "")
    print esc($0)
    next
}

{
    if (section == "DESCRIPTION" && !described) {
        print ".SH DESCRIPTION"
        described = 1
    } else if (blank)
        print ".PP"
    blank = 0
    print esc($0)
}
