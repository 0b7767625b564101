#pragma once

// A name with its standard form (two wide texts). Derived classes build the
// standard form in __vConstruitNomStandard.
class CNomStandard
{
public:
    virtual void __vConstruitNomStandard() = 0;

    const wchar_t* pszGetNom() const { return m_pszNom; }
    const wchar_t* pszGetNomStandard() const { return m_pszNomStandard; }

protected:
    constexpr CNomStandard(const wchar_t* pszNom, const wchar_t* pszNomStandard)
        : m_pszNom(pszNom), m_pszNomStandard(pszNomStandard)
    {
    }
    ~CNomStandard() = default;

    const wchar_t* m_pszNom;
    const wchar_t* m_pszNomStandard;
};

// A name over static texts, whose standard form is already there.
class CNomStandardStatique : public CNomStandard
{
public:
    constexpr CNomStandardStatique(const wchar_t* pszNom, const wchar_t* pszNomStandard)
        : CNomStandard(pszNom, pszNomStandard)
    {
    }
    void __vConstruitNomStandard() override {}

    // Both texts are the module's empty wide text.
    static CNomStandardStatique ChaineVide;
};
