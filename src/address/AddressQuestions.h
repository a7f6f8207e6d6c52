#pragma once

// What the address band's commands ask the user.
class AddressQuestions
{
public:
    // Clear Addresses: true to clear the typed-address list.
    virtual bool confirmClearAddresses() = 0;

protected:
    AddressQuestions() = default;
    AddressQuestions(const AddressQuestions&) = default;
    AddressQuestions& operator=(const AddressQuestions&) = default;
    ~AddressQuestions() = default;
};
