#!/bin/sh
# Fails on an include that goes up the layers (see CONTRIBUTING.md): each
# folder of src/ may include only its own headers and those of the layers
# below it; the layers under the windows include no widget header, render
# no printer header, and store, contacts and sync no Qt Gui header either.
cd "$(dirname "$0")/../src" || exit 2
status=0
found=$(mktemp)
allowed() {
  case "$1" in
    store) echo "store" ;;
    contacts) echo "contacts store" ;;
    sync) echo "sync contacts store" ;;
    render) echo "render store" ;;
    printer) echo "printer render store" ;;
    ui) echo "ui render store" ;;
    editor) echo "editor ui render store" ;;
    printing) echo "printing ui printer render store" ;;
    browse) echo "browse editor printing ui printer render sync contacts store" ;;
  esac
}
widgets='QWidget|QDialog|QApplication|QLabel|QLineEdit|QComboBox|QCheckBox|QSpinBox|QDoubleSpinBox|QPushButton|QTableWidget|QListWidget|QPlainTextEdit|QScrollBar|QShortcut|QAbstractItemView|QHeaderView|QFileDialog|QMessageBox|QAccessibleWidget|QtWidgets'
gui='QPixmap|QImage|QPainter|QFont|QFontMetrics|QFontMetricsF|QColor|QGuiApplication|QRawFont|QGlyphRun|QPrinter|QPrinterInfo|QPaintDevice|QtGui|QtPrintSupport'
for dir in store contacts sync render printer ui browse editor printing; do
  ok=$(allowed "$dir")
  for file in "$dir"/*.h "$dir"/*.cpp; do
    [ -f "$file" ] || continue
    grep -n '^#include "[a-z]*/' "$file" | while IFS= read -r line; do
      target=$(echo "$line" | sed 's/.*#include "\([a-z]*\)\/.*/\1/')
      case " $ok " in
        *" $target "*) ;;
        *) echo "$file:${line%%:*}: $dir may not include $target (${line#*:})" ;;
      esac
    done
    case "$dir" in
      store|contacts|sync) banned="$widgets|$gui" ;;
      render) banned="$widgets|QPrinter|QPrinterInfo|QtPrintSupport" ;;
      printer) banned="$widgets" ;;
      *) banned="" ;;
    esac
    [ -n "$banned" ] && grep -nE "^#include <($banned)>" "$file" | sed "s|^|$file:|; s|\$|: $dir is below the windows|"
  done
done > "$found"
if [ -s "$found" ]; then
  cat "$found" >&2
  status=1
else
  echo "check-layers: no include goes up."
fi
rm -f "$found"
exit $status
