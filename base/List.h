// Singly linked lists whose nodes carry their own link (the member T* T::*next). A list is kept as
// pointers to its first and its last node, so appending needs no walk.
#pragma once

template <class T> void AppendNode(T*& first, T*& last, T* T::*next, T* node) {
    (last ? last->*next : first) = node;
    last = node;
}

// Returns false when the list does not hold node.
template <class T> bool UnlinkNode(T*& first, T*& last, T* T::*next, T* node) {
    T* prev = nullptr;
    T* at = first;
    for (; at && at != node; at = at->*next)
        prev = at;
    if (!at)
        return false;
    (prev ? prev->*next : first) = node->*next;
    if (last == node)
        last = prev;
    return true;
}

// Deletes the nodes one by one in a loop. If each node's destructor deleted the next node instead,
// the chain of nested calls would overflow the stack on a long list.
template <class T> void DeleteNodes(T* node, T* T::*next) {
    while (node) {
        T* after = node->*next;
        delete node;
        node = after;
    }
}
