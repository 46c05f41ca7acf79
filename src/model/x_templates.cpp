#include "model/x_templates.h"

namespace model {

const char* const kXFileTemplateText = R"(xof 0303txt 0032

template BoneBeenConverted_This_is_just_a_tag_by_tamsek {
 <089AAC43-6F64-4430-AF49-19AA36B7969A>
 [...]
}

template BoneBeenConverted_tag_v1 {
 <089AAC43-6F64-4430-AF49-19AA36B7969B>
 [...]
}

template BoneBeenConverted_Flag {
 <089AAC43-6F64-4430-AF49-19AA36B7969C>
 DWORD dwSavingFlag;
 [...]
}

template VRVector {
 <4FEC8778-1EEF-4a63-AEF1-2C8A6912DA4B>
 float x;
 float y;
 float z;
}

template DXMATRIX {
 <BD07CE91-06BD-48a9-BE36-83ED9CFB8749>
 array float mat[16];
}

template SRTKey {
 <901B8348-B00A-4188-B8D9-01209DA657E2>
 DWORD dwTimeStamp;
 array float scale[3];
 array float rotation[4];
 array float position[3];
}

template SRTKeys {
 <901B8348-B00A-4188-B8D9-01209DA657E3>
 DWORD dwKeyCount;
 array SRTKey keys[dwKeyCount];
}

template AnimationControl {
 <414A4693-B008-4023-9215-EDE0EDA07237>
 [...]
}

template BString {
 <42AACB72-3E78-4c08-A305-5CB874D8BA73>
 DWORD dwCount;
 array char fileList[dwCount];
}

template BStringList {
 <42AACB72-3E78-4c08-A305-5CB874D8BA74>
 DWORD dwCount;
 array BString stringList[dwCount];
}

template BStringList2 {
 <3E94D222-13F8-427c-8BCA-F4152BE7DD17>
 DWORD dwCount;
 array BString firstList[dwCount];
 array BString secondList[dwCount];
}

template FishAtt {
 <B5AB9E3E-A4B6-4886-AF5C-DD86BECF80C9>
 float fSchoolPower;
 float fNormalSpeed;
 float fMaxSpeed;
}

template FishAtt1 {
 <B5AB9E3E-A4B6-4886-AF5C-DD86BECF80C8>
 float fSchoolPower;
 float fNormalSpeed;
 float fMaxSpeed;
 float fNormalWaveSize;
 float fNormalFreq;
 float fElasticity;
 array char bBool[4];
 array DWORD reserve[13];
}

template FishAtt2 {
 <B5AB9E3E-A4B6-4886-AF5C-DD86BECF80C7>
 array DWORD reserve[40];
}

template SubDeformer {
 <DEEC5A7D-D370-4f3c-A1BA-7BEE291AA274>
 [...]
}

template BoxWaveControl {
 <7EF90C33-8180-450a-9E05-FE08FA5CBDF1>
 float fSecondRatio;
 float fFalloffRatio;
 float fMainLength;
 float fWaveSize;
 float fSpeed;
 float fFreq;
 DWORD iMainAxie;
 DWORD iFalloffAxie;
 DWORD iWaveSizeAxie;
 VRVector min;
 VRVector max;
}

template MorphControl {
 <430F8B39-6E2E-47a4-AB79-CD610E64C9D9>
 float fFreq;
 DWORD dwStopPoint;
 float fStopTime;
 array char bBool[4];
 array DWORD reserve[6];
}

template HingeControl {
 <B52742EE-5045-4878-803A-DEA02DABDB3D>
 float fWaveNumber;
 float fSpeed;
 float fUpFrom;
 float fUpTo;
 float fDownFrom;
 float fDownTo;
 DWORD iHingeAxis;
 float fSleepTime;
 float fInitPhase;
 VRVector min;
 VRVector max;
 VRVector vHingePoint;
}

template FishType {
 <BB27775F-B9A5-4323-8604-23682A40514B>
 DWORD Count;
}

template GroupBox {
 <DC1E7C36-5B50-425c-9FDA-3E9028CCAED0>
 DXMATRIX matrix;
 BString boxName;
 [...]
}

template HingeControl1 {
 <B52742EE-5045-4878-803B-DEA02DABDB3D>
 float fWaveNumber;
 float fSpeed;
 float fUpFrom;
 float fUpTo;
 float fDownFrom;
 float fDownTo;
 DWORD iHingeAxis;
 float fStopTime;
 float fInitPhase;
 VRVector min;
 VRVector max;
 VRVector vHingePoint;
 DWORD iStopAt;
 array DWORD reserve[11];
}

template BinaryAnimationBlock {
 <B52742EE-5045-4878-803B-DEA02DABDB3E>
 DWORD Count;
 array DWORD mass[Count];
}
)";

namespace xguid {
namespace {
Guid guid(const char* text) { return parse_guid(text).value_or(Guid{}); }
}  // namespace
const Guid kBoneBeenConvertedTag = guid("089AAC43-6F64-4430-AF49-19AA36B7969A");
const Guid kBoneBeenConvertedTagV1 = guid("089AAC43-6F64-4430-AF49-19AA36B7969B");
const Guid kBoneBeenConvertedFlag = guid("089AAC43-6F64-4430-AF49-19AA36B7969C");
const Guid kVRVector = guid("4FEC8778-1EEF-4a63-AEF1-2C8A6912DA4B");
const Guid kDXMatrix = guid("BD07CE91-06BD-48a9-BE36-83ED9CFB8749");
const Guid kSRTKey = guid("901B8348-B00A-4188-B8D9-01209DA657E2");
const Guid kSRTKeys = guid("901B8348-B00A-4188-B8D9-01209DA657E3");
const Guid kAnimationControl = guid("414A4693-B008-4023-9215-EDE0EDA07237");
const Guid kBString = guid("42AACB72-3E78-4c08-A305-5CB874D8BA73");
const Guid kBStringList = guid("42AACB72-3E78-4c08-A305-5CB874D8BA74");
const Guid kBStringList2 = guid("3E94D222-13F8-427c-8BCA-F4152BE7DD17");
const Guid kFishAtt = guid("B5AB9E3E-A4B6-4886-AF5C-DD86BECF80C9");
const Guid kFishAtt1 = guid("B5AB9E3E-A4B6-4886-AF5C-DD86BECF80C8");
const Guid kFishAtt2 = guid("B5AB9E3E-A4B6-4886-AF5C-DD86BECF80C7");
const Guid kSubDeformer = guid("DEEC5A7D-D370-4f3c-A1BA-7BEE291AA274");
const Guid kBoxWaveControl = guid("7EF90C33-8180-450a-9E05-FE08FA5CBDF1");
const Guid kMorphControl = guid("430F8B39-6E2E-47a4-AB79-CD610E64C9D9");
const Guid kHingeControl = guid("B52742EE-5045-4878-803A-DEA02DABDB3D");
const Guid kFishType = guid("BB27775F-B9A5-4323-8604-23682A40514B");
const Guid kGroupBox = guid("DC1E7C36-5B50-425c-9FDA-3E9028CCAED0");
const Guid kHingeControl1 = guid("B52742EE-5045-4878-803B-DEA02DABDB3D");
const Guid kBinaryAnimationBlock = guid("B52742EE-5045-4878-803B-DEA02DABDB3E");
}  // namespace xguid

}  // namespace model
