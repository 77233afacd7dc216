#pragma once

// The world-to-paper transform of a chart view and its pen. World coordinates are the
// client's own units (kilometres and milligal, say); paper coordinates are millimetres from
// the bottom-left corner of the sheet, y upwards.

#include "platform/gdi/GdiTypes.h"

namespace tessmor {
class DC;
}

class CMapper;

/// A point on the paper, mm, in double precision.
struct PaperPointD {
  double x = 0.0;
  double y = 0.0;
};

/// World to paper: a world point (x, y) is scaled to u = x · scale x · factor and
/// v = y · scale y · factor, rotated by the rotation θ (degrees counter-clockwise, in
/// [0, 360)), and moved by the origin (the paper position of the world origin, mm):
///   paper X = u·cos θ − v·sin θ + origin x,  paper Y = u·sin θ + v·cos θ + origin y.
///
/// The transform also keeps the pen: its paper position (mm) and its position in scaled but
/// unrotated world units (u, v), and the origin shifts made so far. A view owns one; the
/// save slot of SaveRestoreTransform is shared by every transform of the process.
class CViewTransform {
 public:
  CViewTransform() = default;

  // --- world to paper ---

  /// The paper point (mm) of the world point (x, y).
  PaperPointD WorldToPaper(double x, double y) const;
  /// The paper point (mm) reached from the pen by the world offset (dx, dy).
  PaperPointD WorldToPaperRelative(double dx, double dy) const;
  /// The rotated, scaled x component u·cos θ − v·sin θ of the world vector (x, y), mm.
  double TransformX(double x, double y) const;
  /// The rotated, scaled y component u·sin θ + v·cos θ of the world vector (x, y), mm.
  double TransformY(double x, double y) const;

  // --- pen ---

  /// Puts the pen on the world point (x, y).
  void MovePenTo(double x, double y);
  /// Moves the pen by the world offset (dx, dy).
  void MovePenBy(double dx, double dy);
  /// Puts the pen on the paper point (x, y), mm; its (u, v) stay as they are.
  void SetPenPaper(double x, double y);
  /// Puts the pen at paper (0, 0) with (u, v) = (0, 0).
  void ZeroPen();
  /// The pen's world position as (u, v) give it: (u / (factor · scale x), v / (factor · scale
  /// y)); a component whose divisor is 0 gives 0.
  PaperPointD PenWorld() const;

  // --- changing the frame ---

  /// Moves the world origin by the world offset (dx, dy): the pen's (u, v) lose the scaled
  /// offset, the origin gains it scaled and rotated (mm), the shift gains it rotated but not
  /// scaled (world units).
  void ShiftOrigin(double dx, double dy);
  /// Adds `degrees` to the rotation and brings the sum into [0, 360) (the reduction of the
  /// directional statistics library, a result of 360 taken as 0). The pen's (u, v) are then
  /// re-expressed at the new angle θ: with r = √(u² + v²) and φ = θ − atan2(v, u) (φ = θ
  /// when |u| and |v| are both below 1e−20), u = r·cos φ and v = r·sin φ. A non-finite angle,
  /// or one whose sum is not finite, changes nothing. The paper position of the pen stays.
  void RotateBy(float degrees);
  /// Mode 0: copies origin, shift, scales and rotation into the save slot, then resets them;
  /// 1: copies them back from the slot; 2: resets them; −1: resets them and empties the slot
  /// (a restore from an empty slot resets). Reset means origin 0, shift 0, scales 1 and
  /// rotation 0; the factor and the pen are never touched. Other modes do nothing.
  void SaveRestoreTransform(int mode);

  /// Sets the paper mm per world unit in x and y. Returns false, changing nothing, when
  /// either is not finite.
  bool SetScale(float x, float y);
  /// Sets the factor applied to both scales (and by the view to line widths and text sizes).
  /// Returns false, changing nothing, when it is not finite.
  bool SetFactor(float factor);

  // --- client to paper ---

  /// The window-origin offset of a view whose drawn extent (logical units) is `extent`:
  /// x = the extent's left edge when that is below −100, else −100; y = its bottom edge when
  /// that is above 100, else 100. An extent without area gives (−100, 100).
  static tessmor::POINT WindowOriginOffset(const tessmor::RECT& extent);
  /// The world point under a clicked point, given in the logical units the view's prepared
  /// device context turned it into: the window-origin offset `offset` is added, the paper
  /// height r(H·k) is added to y, both are divided by k (mm from the paper's bottom-left),
  /// the origin is subtracted, x is divided by scale x · factor and y by scale y · factor,
  /// and unless the rotation is 0 or both are 0 the point is turned back by the rotation.
  /// A component whose divisor is 0 gives 0.
  PaperPointD ClientToPaper(tessmor::POINT logical, tessmor::POINT offset,
                            const CMapper& mapper) const;
  /// The world point under the client point `client` (device pixels) of a view whose device
  /// context `prepared` has been prepared for drawing (mapping mode and scrolling, without the
  /// window-origin offset) and whose drawn extent is `extent` (logical units).
  PaperPointD ClientToPaper(const tessmor::DC& prepared, tessmor::POINT client,
                            const tessmor::RECT& extent, const CMapper& mapper) const;

  // --- state ---

  double penX() const { return m_penX; }
  double penY() const { return m_penY; }
  double penU() const { return m_penU; }
  double penV() const { return m_penV; }
  double originX() const { return m_originX; }
  double originY() const { return m_originY; }
  double shiftX() const { return m_shiftX; }
  double shiftY() const { return m_shiftY; }
  /// Degrees counter-clockwise, in [0, 360).
  float rotation() const { return m_fRotation; }
  float scaleX() const { return m_fScaleX; }
  float scaleY() const { return m_fScaleY; }
  float factor() const { return m_fFactor; }

 private:
  // The scaled world vector (u, v) of (x, y).
  double ScaledX(double x) const;
  double ScaledY(double y) const;
  void Reset();

  double m_penX = 0.0;
  double m_penY = 0.0;
  double m_penU = 0.0;
  double m_penV = 0.0;
  double m_originX = 0.0;
  double m_originY = 0.0;
  double m_shiftX = 0.0;
  double m_shiftY = 0.0;
  float m_fRotation = 0.0f;
  float m_fScaleX = 1.0f;
  float m_fScaleY = 1.0f;
  float m_fFactor = 1.0f;
};
