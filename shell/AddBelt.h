// Objects › Add Belt…: a belt or ring of test particles about one body, as one undo step.
#pragma once

// True when the belt was added. Bad entries keep the dialog open, saying what is wrong.
bool AddBeltMenuItem();
