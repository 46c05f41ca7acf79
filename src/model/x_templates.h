#pragma once

#include "model/x_file.h"

namespace model {

// The template text every XFileReader registers before it opens a file: the
// program's own templates of fish attribute files, deformers and group
// boxes, in this order.
extern const char* const kXFileTemplateText;

// Their identifiers, as the readers of those files compare object types.
namespace xguid {
extern const Guid kBoneBeenConvertedTag;
extern const Guid kBoneBeenConvertedTagV1;
extern const Guid kBoneBeenConvertedFlag;
extern const Guid kVRVector;
extern const Guid kDXMatrix;
extern const Guid kSRTKey;
extern const Guid kSRTKeys;
extern const Guid kAnimationControl;
extern const Guid kBString;
extern const Guid kBStringList;
extern const Guid kBStringList2;
extern const Guid kFishAtt;
extern const Guid kFishAtt1;
extern const Guid kFishAtt2;
extern const Guid kSubDeformer;
extern const Guid kBoxWaveControl;
extern const Guid kMorphControl;
extern const Guid kHingeControl;
extern const Guid kFishType;
extern const Guid kGroupBox;
extern const Guid kHingeControl1;
extern const Guid kBinaryAnimationBlock;
}  // namespace xguid

}  // namespace model
