#include "chart/view/ViewTransform.h"

#include <cmath>

#include "chart/paper/Mapper.h"
#include "dirstats/Bearing.h"
#include "platform/gdi/DC.h"
#include "util/NumberFormat.h"

namespace {

// The frame SaveRestoreTransform keeps for every view of the process.
struct SavedFrame {
  double originX = 0.0;
  double originY = 0.0;
  double shiftX = 0.0;
  double shiftY = 0.0;
  float scaleX = 1.0f;
  float scaleY = 1.0f;
  float rotation = 0.0f;
};

SavedFrame& SaveSlot() {
  static SavedFrame slot;
  return slot;
}

// π/2 as the chart code has always written it.
constexpr double kHalfPi = 1.570796327;

// Below this, both pen components count as zero when the pen is re-expressed.
constexpr double kTinyPen = 1e-20;

double DivideOrZero(double value, double divisor) { return divisor == 0.0 ? 0.0 : value / divisor; }

}  // namespace

double CViewTransform::ScaledX(double x) const { return x * m_fScaleX * m_fFactor; }

double CViewTransform::ScaledY(double y) const { return y * m_fScaleY * m_fFactor; }

double CViewTransform::TransformX(double x, double y) const {
  const double theta = Rad(m_fRotation);
  return ScaledX(x) * std::cos(theta) - ScaledY(y) * std::sin(theta);
}

double CViewTransform::TransformY(double x, double y) const {
  const double theta = Rad(m_fRotation);
  return ScaledX(x) * std::sin(theta) + ScaledY(y) * std::cos(theta);
}

PaperPointD CViewTransform::WorldToPaper(double x, double y) const {
  return {TransformX(x, y) + m_originX, TransformY(x, y) + m_originY};
}

PaperPointD CViewTransform::WorldToPaperRelative(double dx, double dy) const {
  return {m_penX + TransformX(dx, dy), m_penY + TransformY(dx, dy)};
}

void CViewTransform::MovePenTo(double x, double y) {
  const PaperPointD p = WorldToPaper(x, y);
  m_penX = p.x;
  m_penY = p.y;
  m_penU = ScaledX(x);
  m_penV = ScaledY(y);
}

void CViewTransform::MovePenBy(double dx, double dy) {
  const PaperPointD p = WorldToPaperRelative(dx, dy);
  m_penX = p.x;
  m_penY = p.y;
  m_penU += ScaledX(dx);
  m_penV += ScaledY(dy);
}

void CViewTransform::SetPenPaper(double x, double y) {
  m_penX = x;
  m_penY = y;
}

void CViewTransform::ZeroPen() { m_penX = m_penY = m_penU = m_penV = 0.0; }

PaperPointD CViewTransform::PenWorld() const {
  return {DivideOrZero(m_penU, static_cast<double>(m_fFactor) * m_fScaleX),
          DivideOrZero(m_penV, static_cast<double>(m_fFactor) * m_fScaleY)};
}

void CViewTransform::ShiftOrigin(double dx, double dy) {
  const double theta = Rad(m_fRotation);
  const double c = std::cos(theta);
  const double s = std::sin(theta);
  const double u = ScaledX(dx);
  const double v = ScaledY(dy);
  m_penU -= u;
  m_penV -= v;
  m_originX += u * c - v * s;
  m_originY += u * s + v * c;
  m_shiftX += dx * c - dy * s;
  m_shiftY += dx * s + dy * c;
}

void CViewTransform::RotateBy(float degrees) {
  const float sum = m_fRotation + degrees;
  if (!std::isfinite(sum)) return;
  float rotation = static_cast<float>(SetSensibleBearing(sum));
  // 360 itself, and a value just below it that rounds to 360 in single precision, mean 0.
  if (rotation >= 360.0f) rotation = 0.0f;
  m_fRotation = rotation;

  const double theta = Rad(m_fRotation);
  const double u = m_penU;
  const double v = m_penV;
  const double phi =
      (std::fabs(u) >= kTinyPen || std::fabs(v) >= kTinyPen) ? theta - std::atan2(v, u) : theta;
  const double r = std::sqrt(u * u + v * v);
  m_penU = r * std::cos(phi);
  m_penV = r * std::sin(phi);
}

void CViewTransform::Reset() {
  m_originX = m_originY = 0.0;
  m_shiftX = m_shiftY = 0.0;
  m_fScaleX = m_fScaleY = 1.0f;
  m_fRotation = 0.0f;
}

void CViewTransform::SaveRestoreTransform(int mode) {
  SavedFrame& slot = SaveSlot();
  switch (mode) {
    case 0:
      slot = {m_originX, m_originY, m_shiftX, m_shiftY, m_fScaleX, m_fScaleY, m_fRotation};
      Reset();
      break;
    case 1:
      m_originX = slot.originX;
      m_originY = slot.originY;
      m_shiftX = slot.shiftX;
      m_shiftY = slot.shiftY;
      m_fScaleX = slot.scaleX;
      m_fScaleY = slot.scaleY;
      m_fRotation = slot.rotation;
      break;
    case 2:
      Reset();
      break;
    case -1:
      Reset();
      slot = SavedFrame();
      break;
    default:
      break;
  }
}

bool CViewTransform::SetScale(float x, float y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return false;
  m_fScaleX = x;
  m_fScaleY = y;
  return true;
}

bool CViewTransform::SetFactor(float factor) {
  if (!std::isfinite(factor)) return false;
  m_fFactor = factor;
  return true;
}

tessmor::POINT CViewTransform::WindowOriginOffset(const tessmor::RECT& extent) {
  if (extent.left == extent.right || extent.top == extent.bottom) return {-100, 100};
  return {extent.left < -100 ? extent.left : -100, extent.bottom > 100 ? extent.bottom : 100};
}

PaperPointD CViewTransform::ClientToPaper(tessmor::POINT logical, tessmor::POINT offset,
                                          const CMapper& mapper) const {
  const double k = mapper.GetScale();
  // The paper height in logical units, rounded as the mapper rounds it.
  const double height = -static_cast<double>(mapper.GetPaperRect().bottom);
  // Sums of 32-bit values are exact in double precision.
  double x = (static_cast<double>(logical.x) + offset.x) / k;
  double y = (static_cast<double>(logical.y) + offset.y + height) / k;
  x = DivideOrZero(x - m_originX, static_cast<double>(m_fScaleX) * m_fFactor);
  y = DivideOrZero(y - m_originY, static_cast<double>(m_fScaleY) * m_fFactor);
  if (IsZero(m_fRotation) || (IsZero(static_cast<float>(x)) && IsZero(static_cast<float>(y)))) {
    return {x, y};
  }
  const double theta = Rad(m_fRotation);
  const double r = std::sqrt(x * x + y * y);
  const double a = std::atan2(x, y);
  const double phi = kHalfPi - (theta + a);
  return {r * std::cos(phi), r * std::sin(phi)};
}

PaperPointD CViewTransform::ClientToPaper(const tessmor::DC& prepared, tessmor::POINT client,
                                          const tessmor::RECT& extent,
                                          const CMapper& mapper) const {
  return ClientToPaper(prepared.DPtoLP(client), WindowOriginOffset(extent), mapper);
}
