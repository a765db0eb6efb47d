# shellcheck shell=bash disable=SC2034
# Shared by walk-wizard and e2e-test (sourced, bash): looking at the wizard
# through locate.exe, clicking with xdotool, waiting with time limits.
#
# The caller sets: WINE_RUN (scripts/wine-run), LOCATE (locate.exe),
# WIZ_SHOTS (folder for screenshots and diagnostics, may be empty) and
# DISPLAY. Functions return non-zero on failure after printing why.

WIZ_CAPTION_PART=${WIZ_CAPTION_PART:-Barcode Reader SDK Setup}
WIZ_CAPTION=$'Korvane\xc2\xae Barcode Reader SDK Setup'

# Control ids: wizard buttons (framework/property_sheet.h) and the controls
# of the page templates (wizard/resource_ids.h, names in the comments).
ID_BACK=0x3023                  # ID_WIZBACK
ID_NEXT=0x3024                  # ID_WIZNEXT
ID_FINISH=0x3025                # ID_WIZFINISH
ID_CANCEL=2                     # IDCANCEL
ID_TITLE=1041                   # IDC_WELCOME_TITLE, IDC_FINISH_TITLE, IDC_CANCELED_TITLE
ID_WELCOME_VERSION=1016         # IDC_WELCOME_VERSION
ID_WELCOME_PROCESSES=1006       # IDC_WELCOME_PROCESSES
ID_WELCOME_PROCESSES_LABEL=1007 # IDC_WELCOME_PROCESSES_LABEL
ID_NOT_AGREE=1009               # IDC_AGREEMENT_NOT_AGREE
ID_AGREE=1010                   # IDC_AGREEMENT_AGREE
ID_AGREEMENT_TEXT=1012          # IDC_AGREEMENT_TEXT
ID_TREE=1001                    # IDC_PRODUCT_LIST_TREE
ID_DESCRIPTION=1002             # IDC_PRODUCT_LIST_DESCRIPTION
ID_SUMMARY=1004                 # IDC_CONFIRM_SUMMARY
ID_STATUS=1003                  # IDC_PROGRESS_STATUS
ID_PROGRESS_BAR=1002            # IDC_PROGRESS_BAR
ID_RUN_DEMO=1005                # IDC_FINISH_RUN_DEMO
ID_FINISH_TEXT=1042             # IDC_FINISH_TEXT

# Page positions.
PAGE_WELCOME=0
PAGE_AGREEMENT=1
PAGE_COMPONENTS=2
PAGE_CONFIRM=3
PAGE_PROGRESS=4
PAGE_FINISH=5
PAGE_INTERRUPTED=6

LOC_OUT=""

wiz_log() { echo "walk-wizard: $*" >&2; }

# locate [ID|--all]: runs locate.exe on the wizard window; its output in LOC_OUT.
locate() {
  # locate.exe ends itself after 15 s; the timeout is a second guard.
  LOC_OUT=$(timeout -k 5 30 "$WINE_RUN" "$LOCATE" "$WIZ_CAPTION_PART" "$@" 2>/dev/null | tr -d '\r')
  [ "$(field found)" = 1 ]
}

# field KEY: the value of KEY in LOC_OUT (escapes of locate.exe kept).
field() {
  local key=${1//./\\.}
  sed -n "s/^${key}=//p" <<<"$LOC_OUT" | head -n 1
}

# unescape TEXT: turns locate.exe's \r \n \t \\ back into characters.
unescape() { printf '%b' "${1//%/%%}"; }

# Says so when the wizard's window no longer answers messages.
wiz_hung_note() {
  local out
  out=$(timeout -k 5 30 "$WINE_RUN" "$LOCATE" "$WIZ_CAPTION_PART" 2>/dev/null | tr -d '\r')
  if grep -qx 'responding=0' <<<"$out"; then
    wiz_log "the setup's window does not answer messages: the program is hung"
  fi
}

# Diagnostics when a wait ends without success: every control and a screenshot.
wiz_dump() {
  local tag=$1
  [ -n "${WIZ_SHOTS:-}" ] || return 0
  mkdir -p "$WIZ_SHOTS"
  timeout -k 5 30 "$WINE_RUN" "$LOCATE" "$WIZ_CAPTION_PART" --all >"$WIZ_SHOTS/stuck-$tag.txt" 2>&1 || true
  import -window root "$WIZ_SHOTS/stuck-$tag.png" 2>/dev/null || true
  wiz_log "diagnostics in $WIZ_SHOTS/stuck-$tag.txt and stuck-$tag.png"
}

# wait_until SECONDS WHAT COMMAND...: retries COMMAND until it succeeds;
# after SECONDS says where it got stuck and fails.
wait_until() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  while true; do
    if "$@"; then return 0; fi
    if [ "$SECONDS" -ge "$deadline" ]; then
      wiz_log "stuck: $what (waited ${seconds}s)"
      [ -n "$LOC_OUT" ] && wiz_log "last look: $(tr '\n' ' ' <<<"$LOC_OUT" | cut -c1-600)"
      wiz_hung_note
      wiz_dump "$(tr -c 'a-zA-Z0-9' '-' <<<"$what" | cut -c1-40)"
      return 1
    fi
    sleep 0.2
  done
}

# is_page N: the wizard shows page N.
is_page() { locate && [ "$(field page)" = "$1" ]; }

# control_has ID KEY VALUE: the control's KEY equals VALUE.
control_has() { locate "$1" && [ "$(field "$2")" = "$3" ]; }

# expect ID KEY VALUE WHAT: checks a state once (after a short settle time
# for posted button changes) and fails with a message naming WHAT.
expect() {
  local id=$1 key=$2 want=$3 what=$4
  wait_until 5 "$what ($key of control $id should be '$want')" control_has "$id" "$key" "$want" || {
    wiz_log "found: '$(field "$key")'"
    return 1
  }
}

# expect_page N NAME: the wizard is on page N with its caption.
expect_page() {
  wait_until "${3:-30}" "the $2 page (position $1)" is_page "$1" || return 1
  local caption
  caption=$(field text)
  if [ "$caption" != "$WIZ_CAPTION" ]; then
    wiz_log "wrong window caption on the $2 page: '$caption'"
    return 1
  fi
}

# center_of ID: "x y" of the control's center on the screen.
center_of() {
  locate "$1" || return 1
  [ "$(field visible)" = 1 ] || { wiz_log "control $1 is not visible"; return 1; }
  field center
}

# click_at X Y: one left click with the mouse at screen coordinates. (No
# --sync: it waits for a motion that never comes when the pointer is already
# there, as it is for a wizard button pressed on two pages in a row.)
click_at() {
  xdotool mousemove "$1" "$2" click 1
}

# click ID WHAT: clicks the middle of a visible, enabled control.
click() {
  local id=$1 what=$2
  wait_until 10 "$what (control $id visible and enabled)" control_ready "$id" || return 1
  local x y
  read -r x y <<<"$(field center)"
  click_at "$x" "$y"
}

control_ready() { locate "$1" && [ "$(field visible)" = 1 ] && [ "$(field enabled)" = 1 ]; }

# shot NAME: a screenshot of the screen cut to the wizard window, NAME.png.
shot() {
  [ -n "${WIZ_SHOTS:-}" ] || return 0
  mkdir -p "$WIZ_SHOTS"
  local l t r b
  if locate && read -r l t r b <<<"$(field rect)" && [ $((r - l)) -gt 0 ] && [ $((b - t)) -gt 0 ]; then
    [ "$l" -lt 0 ] && l=0
    [ "$t" -lt 0 ] && t=0
    import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$WIZ_SHOTS/$1.png"
  else
    import -window root "$WIZ_SHOTS/$1.png"
  fi
}
