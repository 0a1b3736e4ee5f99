#pragma once

#include <memory>
#include <vector>

// The two kinds of record list. An owning list deletes its records with itself; a reference list
// only points at records owned elsewhere (by the channel database) and never deletes them. Keeping
// the two as distinct types makes the ownership of every list visible where it is declared.
template <class T> using OwnedList = std::vector<std::unique_ptr<T>>;

template <class T> using RefList = std::vector<T*>;
