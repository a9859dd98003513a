#pragma once
// The measures of the form description (in twips, 15 to a pixel), its bold sans-serif texts, and the
// builder that makes the window's controls under their names in the order of the form description. The
// form and its two panels build their controls with one builder, so the language texts find them in
// that order.

#include "core/DocumentationSettings.h"

#include <QFont>
#include <QPoint>
#include <QSize>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

template <class T>
using Row = std::array<T*, kKeyCount + 1>;  // controls of a row array, indexed 1 ... 9

int Px(int twips);
// Left, top, width and height in twips; right and bottom edges are rounded so neighbours stay aligned.
void Place(QWidget* widget, int left, int top, int width, int height);
QFont FormFont(double points);

// The columns of the main frame: their top and height, and the top of each row's field in them.
inline constexpr int kColumnTop = 150;
inline constexpr int kColumnHeight = 6450;
int RowTop(int row);

class FormBuilder {
 public:
  explicit FormBuilder(std::vector<QWidget*>& controls) : controls_(controls) {}

  // Registers a control under its name (arrays: one name, an index each).
  template <class W>
  W* Add(W* widget, const char* name, std::optional<int> index = std::nullopt) {
    Register(widget, name, index);
    return widget;
  }
  QLabel* Label(QWidget* parent, const char* name, const QString& caption, double points, bool centred,
                std::optional<int> index = std::nullopt);
  // A column frame with its header label. left and width are twips of the main frame; a panel that
  // holds the column lies on the main frame, already placed.
  QGroupBox* Column(QWidget* panel, const char* name, int left, int width);
  QLabel* Header(QGroupBox* column, const char* name, const QString& caption, int width);
  // Shows a header's text whole: a text wider than the header's place (a translation, "Taste" for
  // "Key") uses the column's whole width and, if need be, a smaller font.
  static void SetHeaderText(QLabel* header, const QString& text);
  // Nine text boxes holding at most what the settings file gives back.
  void TextBoxes(Row<QLineEdit>& row, QGroupBox* column, const char* name, int width, double points);
  void BrowseButtons(Row<QPushButton>& row, QGroupBox* column, const char* name);
  void DriveFields(Row<QComboBox>& row, QGroupBox* column);
  // A picture button without caption.
  QPushButton* PictureButton(QWidget* parent, const char* name, const QString& picture, QSize size, int left);

 private:
  void Register(QWidget* widget, const char* name, std::optional<int> index);

  std::vector<QWidget*>& controls_;
};
