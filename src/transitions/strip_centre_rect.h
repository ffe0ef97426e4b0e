#pragma once
// Centre rectangle: "Center(Diffuse)" grows the new picture from the centre in the picture's
// proportions; "Center(Envelop)" shrinks the old picture towards the centre.
namespace vitrine {

void SetupCentreRect(bool envelop);
bool CentreRectFrame();

}  // namespace vitrine
