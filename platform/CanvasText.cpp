// Text output: single runs placed by the text alignment, runs with per-character advances
// and clipping, and formatted text with alignment, word break, tab expansion and clipping.
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <vector>
#include "platform/Canvas.h"

namespace {

int RightOf(const QRect& r) { return r.x() + r.width(); }

}  // namespace

QSize TCanvas::TextExtent(const QString& text) {
  const int width = CachedMetrics().horizontalAdvance(text);  // also sets FCellHeight
  return QSize(width, FCellHeight);
}

void TCanvas::DrawTextRun(int x, int y, const QString& text, const int* dx, int dxCount,
                          bool forcedLeftTop) {
  const QFont& font = CachedQFont();
  const QFontMetrics& fm = CachedMetrics();
  const int align = forcedLeftTop ? 0 : FTextAlign;
  if (align & TA_UPDATECP) {
    x = FPenPos.x();
    y = FPenPos.y();
  }
  // Advances: the given ones, the font's own for characters past their end.
  std::vector<int> advances;
  int width = 0;
  if (dx) {
    advances.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
      int a;
      if (i < dxCount) a = dx[i];
      else if (text[i].isLowSurrogate()) a = 0;
      else if (text[i].isHighSurrogate() && i + 1 < text.size()) a = fm.horizontalAdvance(text.mid(i, 2));
      else a = fm.horizontalAdvance(text[i]);
      advances[i] = a;
      width += a;
    }
  } else if ((align & (TA_RIGHT | TA_UPDATECP)) || FBrush.Style == bsSolid || FInPath) {
    // Only alignment, an opaque cell, the pen position and paths need the width.
    width = fm.horizontalAdvance(text);
  }
  const bool rotated = FFont.Orientation % 3600 != 0;
  // The run's cell relative to its reference point.
  qreal ox = 0, oy = 0;
  if ((align & TA_CENTER) == TA_CENTER) ox = -(width / 2);
  else if (align & TA_RIGHT) ox = -width;
  if ((align & TA_BASELINE) == TA_BASELINE) oy = -FAscent;
  else if (align & TA_BOTTOM) oy = -FCellHeight;
  const QPointF origin = rotated ? QPointF(ox, oy) : QPointF(x + ox, y + oy);
  const QTransform local =
      rotated ? QTransform().translate(x, y).rotate(-FFont.Orientation / 10.0) : QTransform();
  const bool opaque = FBrush.Style == bsSolid;
  const QRectF cell(origin, QSizeF(width, FCellHeight));
  const QPointF baseline = origin + QPointF(0, FAscent);

  if (FInPath) {
    // Glyph outlines; an opaque background adds the cell.
    QPainterPath figure;
    if (opaque) figure.addRect(cell);
    if (!dx) {
      figure.addText(baseline, font, text);
    } else {
      qreal at = 0;
      for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isLowSurrogate()) {
          const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
          figure.addText(baseline + QPointF(at, 0), font, text.mid(i, n));
        }
        at += advances[i];
      }
    }
    AddFigure(rotated ? local.map(figure) : figure);
  } else if (QPainter* p = Painter()) {
    QTransform saved;
    if (rotated) {
      saved = p->worldTransform();
      p->setWorldTransform(local * saved);
    }
    if (opaque) p->fillRect(cell, ToQColor(FBrush.Color));
    ApplyFont();
    p->setBackgroundMode(Qt::TransparentMode);
    if (!dx) {
      p->drawText(baseline, text);
    } else {
      qreal at = 0;
      for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isLowSurrogate()) {
          const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
          p->drawText(baseline + QPointF(at, 0), text.mid(i, n));
        }
        at += advances[i];
      }
    }
    if (rotated) p->setWorldTransform(saved);
  }
  if (align & TA_UPDATECP) FPenPos = QPoint(x + width, y);
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  DrawTextRun(x, y, text, nullptr, 0, false);
  if (!(FTextAlign & TA_UPDATECP)) FPenPos = QPoint(x + TextWidth(text), y);
}

void TCanvas::ExtTextOut(int x, int y, int options, const QRect* rect, const QString& text,
                         const int* dx, int dxCount) {
  QPainter* p = FInPath ? nullptr : Painter();
  if (!FInPath && !p) return;
  const bool clipped = p && rect && (options & etoClipped);
  if (p && rect && (options & etoOpaque)) p->fillRect(rect->normalized(), ToQColor(FBrush.Color));
  if (clipped) {
    p->save();
    // Within the clip region already selected, if any.
    p->setClipRect(rect->normalized(), p->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  }
  DrawTextRun(x, y, text, dx, dxCount, false);
  if (clipped) {
    p->restore();
    FPainterFontOf.reset();
  }
}

void TCanvas::TextRect(const QRect& rect, int x, int y, const QString& text) {
  ExtTextOut(x, y, etoClipped | (FBrush.Style != bsClear ? etoOpaque : 0), &rect, text);
}

int TCanvas::DrawText(const QString& text, QRect& rect, int format) {
  const QFontMetrics& fm = CachedMetrics();
  const int cell = FCellHeight;
  const bool expandTabs = format & dtExpandTabs;
  // Only a text with tabs needs the tab width.
  const int tabWidth = expandTabs && text.contains(u'\t') ? std::max(1, 8 * fm.averageCharWidth()) : 1;

  // Paragraphs end at CR LF, CR or LF, unless the text is one line.
  QStringList paragraphs;
  if (format & dtSingleLine) {
    paragraphs << text;
  } else {
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
      const QChar c = text[i];
      if (c == u'\r' || c == u'\n') {
        paragraphs << current;
        current.clear();
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      } else {
        current += c;
      }
    }
    paragraphs << current;
  }

  // Prefix characters: "&x" underlines x, "&&" is a plain "&".
  std::vector<std::vector<qsizetype>> marks(paragraphs.size());
  if (!(format & dtNoPrefix)) {
    for (qsizetype k = 0; k < paragraphs.size(); ++k) {
      QString out;
      const QString& s = paragraphs[k];
      for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size()) {
          ++i;
          if (s[i] != u'&') marks[k].push_back(out.size());
        } else if (s[i] == u'&') {
          continue;
        }
        out += s[i];
      }
      paragraphs[k] = out;
    }
  }

  // Width of a piece of a line, tabs advancing to the next multiple of eight average
  // characters from the line's start.
  auto measure = [&](QStringView s) {
    if (!expandTabs) return CachedAdvance(s.toString());
    int w = 0;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= s.size(); ++i) {
      if (i == s.size() || s[i] == u'\t') {
        w += CachedAdvance(s.mid(from, i - from).toString());
        if (i < s.size()) w = (w / tabWidth + 1) * tabWidth;
        from = i + 1;
      }
    }
    return w;
  };
  auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };

  // Width: measured once, -1 until then.
  struct TLine { qsizetype Paragraph, Start, Length; int Width = -1; };
  std::vector<TLine> lines;
  const int limit = rect.width();
  for (qsizetype k = 0; k < paragraphs.size(); ++k) {
    const QString& s = paragraphs[k];
    if (!(format & dtWordBreak) || (format & dtSingleLine)) {
      lines.push_back({k, 0, s.size()});
      continue;
    }
    // A paragraph of several words that fits as a whole stays one line without measuring
    // word by word: no word ends further right than the last one.
    qsizetype lastEnd = s.size();
    while (lastEnd > 0 && isBlank(s[lastEnd - 1])) --lastEnd;
    const qsizetype firstWord = [&] {
      qsizetype at = 0;
      while (at < lastEnd && isBlank(s[at])) ++at;
      return at;
    }();
    const qsizetype firstBlank = std::find_if(s.begin() + firstWord, s.begin() + lastEnd, isBlank) - s.begin();
    if (firstBlank < lastEnd) {
      const QStringView words = QStringView(s).left(lastEnd);
      const int bound = AdvanceBound(words);
      if (bound >= 0 && bound <= limit) {
        lines.push_back({k, 0, s.size()});
        continue;
      }
      const int whole = measure(words);
      if (whole <= limit) {
        lines.push_back({k, 0, s.size(), lastEnd == s.size() ? whole : -1});
        continue;
      }
    }
    qsizetype lineStart = 0, i = 0;
    while (i < s.size()) {
      // The next word and the blanks after it.
      qsizetype wordEnd = i;
      while (wordEnd < s.size() && !isBlank(s[wordEnd])) ++wordEnd;
      qsizetype next = wordEnd;
      while (next < s.size() && isBlank(s[next])) ++next;
      if (i > lineStart && measure(QStringView(s).mid(lineStart, wordEnd - lineStart)) > limit) {
        qsizetype end = i;
        while (end > lineStart && isBlank(s[end - 1])) --end;
        lines.push_back({k, lineStart, end - lineStart});
        lineStart = i;
      }
      i = next;
    }
    qsizetype end = s.size();
    if (lineStart > 0)
      while (end > lineStart && isBlank(s[end - 1])) --end;
    lines.push_back({k, lineStart, end - lineStart});
  }
  if (text.isEmpty()) lines.clear();

  const int height = int(lines.size()) * cell;
  int top = rect.top();
  if (format & dtSingleLine) {
    if (format & dtVCenter) top = rect.top() + (rect.height() - cell) / 2;
    else if (format & dtBottom) top = rect.top() + rect.height() - cell;
  }
  if (format & dtCalcRect) {
    int widest = 0;
    for (const TLine& l : lines)
      widest = std::max(widest, l.Width >= 0 ? l.Width : measure(QStringView(paragraphs[l.Paragraph]).mid(l.Start, l.Length)));
    if (!(format & dtWordBreak) || lines.size() <= 1) rect.setWidth(widest);
    rect.setHeight(height);
    return height;
  }

  QPainter* p = FInPath ? nullptr : Painter();
  if (!FInPath && !p) return height;
  // Where each line starts; and whether all of them, ink included, lie inside the rectangle.
  std::vector<int> starts(lines.size());
  bool inside = true;
  for (size_t n = 0; n < lines.size(); ++n) {
    TLine& l = lines[n];
    const QStringView line = QStringView(paragraphs[l.Paragraph]).mid(l.Start, l.Length);
    // A left-aligned line short enough by its bound needs no measuring.
    const bool placed = format & (dtRight | dtCenter);
    const int bound = l.Width < 0 && !placed ? AdvanceBound(line) : -1;
    if (l.Width < 0 && (bound < 0 || bound > rect.width())) l.Width = measure(line);
    int x = rect.left();
    if (format & dtRight) x = RightOf(rect) - l.Width;
    else if (format & dtCenter) x = rect.left() + (rect.width() - l.Width) / 2;
    starts[n] = x;
    inside = inside && marks[l.Paragraph].empty() &&
             InkInside(line, x, top + int(n) * cell, l.Width >= 0 ? l.Width : bound, rect);
  }
  // Text that stays inside needs no clip, which a PDF file would pay for with a saved and
  // restored graphics state around every text. The background mode the text run changes
  // goes back as a restore would put it: a dashed hairline's gaps follow it. (Whatever
  // draws with the pen sets it first.)
  const bool clip = p && !(format & dtNoClip) && !inside;
  const Qt::BGMode keptMode = p ? p->backgroundMode() : Qt::TransparentMode;
  if (clip) {
    p->save();
    p->setClipRect(rect.normalized(), p->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  }
  for (size_t n = 0; n < lines.size(); ++n) {
    const TLine& l = lines[n];
    const QString line = paragraphs[l.Paragraph].mid(l.Start, l.Length);
    const int x = starts[n];
    const int y = top + int(n) * cell;
    // Tab-separated pieces at their tab stops.
    qsizetype from = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
      if (i == line.size() || (expandTabs && line[i] == u'\t')) {
        const QString piece = line.mid(from, i - from);
        if (!piece.isEmpty())
          DrawTextRun(x + (from > 0 ? measure(QStringView(line).left(from)) : 0), y, piece, nullptr, 0, true);
        from = i + 1;
      }
    }
    if (p) {
      for (qsizetype m : marks[l.Paragraph]) {
        if (m < l.Start || m >= l.Start + l.Length) continue;
        const qsizetype at = m - l.Start;
        const int x0 = x + measure(QStringView(line).left(at));
        const int x1 = x0 + fm.horizontalAdvance(line.mid(at, 1));
        const int uy = y + FAscent + std::max(1, fm.underlinePos());
        p->fillRect(QRect(x0, uy, x1 - x0, std::max(1, fm.lineWidth())), ToQColor(FFont.Color));
      }
    }
  }
  if (clip) {
    p->restore();
    FPainterFontOf.reset();
  } else if (p && !(format & dtNoClip)) {
    p->setBackgroundMode(keptMode);
  }
  if (format & dtSingleLine && (format & (dtVCenter | dtBottom))) return top - rect.top() + height;
  return height;
}
