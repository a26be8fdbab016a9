// The function tables of the stand-in's art suites, and what their functions
// share: the journal text of their arguments.
//
// Every function of these tables finds Host::Current(), enters the call in
// the journal, returns an injected code at once, checks its handles against
// the art store and only then does its work. A handle the store never gave
// out, or one already disposed of, gives kHostErrBadParameter; a null out
// pointer too. Nothing is changed by a call that returns a code.
#pragma once

#include <string>

#include "host_api/host_api.h"

namespace standin {

class Host;

const ArtSuite& StandinArtSuite();
const PathSuite& StandinPathSuite();
const PathStyleSuite& StandinPathStyleSuite();
const RealMathSuite& StandinRealMathSuite();

// An art handle as the journal shows it: the object's name (as NameText
// writes it: quoted unless plain, so that it never reads as a handle) when
// the store holds the object and it has one, otherwise HandleText. Never
// reads through a handle the store does not hold.
std::string ArtText(Host& host, ArtHandle art);
// A number as short text ("2.5", "-10"); a point as "(h, v)", "null" for none.
std::string RealText(double value);
std::string PointText(const HostPoint* point);

}  // namespace standin
