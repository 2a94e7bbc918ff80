#pragma once
// The encoder link: the one serial line and the conversations on it.
